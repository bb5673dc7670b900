#include "view/page.h"

#include "common/calendar.h"
#include "view/charts.h"
#include "view/markup.h"

namespace zoneloads {
namespace view {
namespace {

const char kPageHead[] = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>$0</title><style>
body{font:14px/1.4 system-ui,sans-serif;margin:1.5em;color:#222}
.wide{overflow-x:auto}table{border-collapse:collapse;margin:.5em 0 1em;font-size:12px}td,th{border:1px solid #ccc;padding:2px 6px}td.n{text-align:right}th{background:#eee}td{white-space:nowrap}
section{border-top:2px solid #888;margin-top:1.5em}.figs{display:flex;flex-wrap:wrap;gap:1em}figure{margin:0}figcaption{font-size:12px;color:#555}
.cbox{display:flex}.hrs{display:flex;flex-direction:column;justify-content:space-between;font-size:10px;height:192px;margin-right:3px}.carpet img{image-rendering:pixelated;image-rendering:crisp-edges;border:1px solid #888}
.months{position:relative;height:14px;margin-left:26px;width:730px;font-size:10px}.months span{position:absolute;border-left:1px solid #888;padding-left:2px}
.scale{display:flex;align-items:center;gap:4px;font-size:11px;margin:4px 0 0 26px}.scale .bar{width:240px;height:10px;border:1px solid #888;background:linear-gradient(to right,#b2182b,#fff,#2166ac)}
.ctl{color:#b00;background:#fee;border:1px solid #e99;font-family:monospace}
svg text{font-size:11px;fill:#333}.yl{text-anchor:end;dominant-baseline:middle}.xl,.xt{text-anchor:middle}.yt{text-anchor:middle}line.grid{stroke:#ddd}line.zero{stroke:#555}.ldc{fill:none;stroke:#444;stroke-width:1.5}rect.pos{fill:#2166ac}rect.neg{fill:#b2182b}
</style></head><body>
<h1>$0</h1>
)";

std::string peakText(const char* label, const std::string& value, int hour) {
    std::string text = std::string(label) + " <b>" + htmlText(value) + " W</b>";
    return hour < 0 ? text + " (ninguna hora)" : text + " el " + hourDate(hour);
}

}  // namespace

std::string pageStart(const std::string& titleHtml) { return fill(kPageHead, {titleHtml}); }

std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption) {
    std::string html = fill(R"(<div class="wide"><table class="summary"><caption>$0</caption><tr>)", {caption});
    for (const std::string& name : csvHeaderNames()) html += "<th>" + htmlText(name) + "</th>";
    html += "</tr>\n";
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields = csvFields(row);
        html += "<tr>";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string text = i == 0 ? htmlName(fields[i]) : htmlText(fields[i]);
            html += (i < 3 ? "<td>" : R"(<td class="n">)") + text + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table></div>\n";
}

std::string sectionHeadHtml(const SummaryRow& row) {
    const Summary& s = row.summary;
    std::string html = "<section><h3>";
    html += row.block == 0 ? std::string("Edificio: totales de todas las zonas")
                           : "Bloque " + std::to_string(row.block) + ": " + htmlText(row.zone);
    html += "</h3>\n<p>" + peakText("QsREF m&aacute;x", s.maxPosText, s.maxPosHour) + " &middot; " +
            peakText("QsCAL m&aacute;x", s.minNegText, s.minNegHour) + "<br>Qs &gt; 0: " + kWhText(s.sumPosWh) +
            " kWh en " + std::to_string(s.hoursPos) + " h &middot; Qs &lt; 0: " + kWhText(s.sumNegWh) + " kWh en " +
            std::to_string(s.hoursNeg) + " h &middot; QL: " + kWhText(s.sumQLWh) + " kWh";
    if (row.block == 0) {
        html += fill("<br>Suma de los picos de las zonas: QsREF $0 W, QsCAL $1 W &middot; factor de simultaneidad "
                     "(pico del edificio / suma de picos): QsREF $2, QsCAL $3",
                     {general6(row.zonePeaksPos), general6(row.zonePeaksNeg),
                      general6(simultaneity(s.maxPos, row.zonePeaksPos)), general6(simultaneity(s.minNeg, row.zonePeaksNeg))});
    }
    if (s.nanHours > 0) {
        html += "<br><b>" + std::to_string(s.nanHours) + " horas con Qs no num&eacute;rico</b>, fuera de picos, sumas y cuentas";
    }
    return html + "</p>\n";
}

std::string sectionFiguresHtml(const SectionFigures& figures) {
    return "<div class=\"figs\">" + carpetHtml(figures) + durationCurveHtml(figures) + monthlyHtml(figures.summary) +
           "</div></section>\n";
}

std::string pageEnd() { return "</body></html>\n"; }

}  // namespace view
}  // namespace zoneloads
