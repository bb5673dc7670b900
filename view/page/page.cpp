#include "view/page/page.h"

#include <string>

#include "common/calendar.h"
#include "common/number_display.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_columns.h"
#include "view/page/charts.h"
#include "view/page/markup.h"
#include "view/page/page_assets.h"
#include "view/tables/csv.h"

namespace zoneloads {
namespace view {
namespace {

const char kPageHead[] = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>$0</title><style>
$1</style></head><body>
<h1>$0</h1>
)";

std::string peakText(const char* label, const Peak& peak) {
    std::string text = std::string(label) + " <b>" + htmlText(peak.text) + " W</b>";
    return peak.hour < 0 ? text + " (ninguna hora)" : text + " el " + hourDate(peak.hour);
}

std::string kWhText(double wh) { return general6(wh / 1000); }

// A JavaScript array of the values, each written by `text`.
template <typename Values, typename Text>
std::string arrayOf(const Values& values, Text text) {
    std::string array = "[";
    for (const auto& value : values) {
        if (array.size() > 1) array += ',';
        array += text(value);
    }
    return array + "]";
}

}  // namespace

std::string pageStart(const std::string& titleHtml) { return fill(kPageHead, {titleHtml, kPageCss}); }

std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption) {
    std::vector<const SummaryColumn*> columns = csvColumns();
    std::string html = fill(R"(<div class="wide"><table class="summary"><caption>$0</caption><tr>)", {caption});
    for (const SummaryColumn* c : columns) html += "<th>" + htmlText(c->name) + "</th>";
    html += "</tr>\n";
    for (const SummaryRow& row : rows) {
        html += "<tr>";
        for (const SummaryColumn* c : columns) {
            Cell cell = c->cell(row);
            std::string text = cell.kind == CellKind::report ? htmlName(cell.text) : htmlText(csvText(cell));
            html += (c->identifies ? "<td>" : R"(<td class="n">)") + text + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table></div>\n";
}

std::string sectionHeadHtml(const SummaryRow& row) {
    const SectionFigures& f = row.figures;
    std::string html = "<section><h3>";
    html += isBuilding(row) ? std::string("Edificio: totales de todas las zonas")
                            : "Bloque " + std::to_string(row.block) + ": " + htmlText(row.zone);
    html += "</h3>\n<p>" + peakText("QsREF m&aacute;x", f.qsRef) + " &middot; " +
            peakText("QsCAL m&aacute;x", f.qsCal) + "<br>" + peakText("QL m&aacute;x", f.ql) + " &middot; " +
            peakText("Qs + QL m&aacute;x", f.total) + "<br>Qs &gt; 0: " + kWhText(f.qsPosWh) + " kWh en " +
            std::to_string(f.hoursQsPos) + " h &middot; Qs &lt; 0: " + kWhText(f.qsNegWh) + " kWh en " +
            std::to_string(f.hoursQsNeg) + " h &middot; QL: " + kWhText(f.qlWh) + " kWh";
    if (f.temperatures) {
        html +=
            fill("<br>Treal sobre Tmax: <b>$0 h</b> ($1 K&middot;h) &middot; bajo Tmin: <b>$2 h</b> ($3 K&middot;h)",
                 {std::to_string(f.hoursAbove), general6(f.degreeHoursAbove), std::to_string(f.hoursBelow),
                  general6(f.degreeHoursBelow)});
    }
    if (isBuilding(row) && row.worstBlock > 0) {
        html += fill("<br>Zona con m&aacute;s horas fuera de consigna: bloque $0, $1: $2 h sobre Tmax y $3 h bajo Tmin",
                     {std::to_string(row.worstBlock), htmlText(row.worstZone), std::to_string(row.worst.hoursAbove),
                      std::to_string(row.worst.hoursBelow)});
    }
    if (isBuilding(row)) {
        html += fill(
            "<br>Suma de los picos de las zonas: QsREF $0 W, QsCAL $1 W &middot; factor de simultaneidad "
            "(pico del edificio / suma de picos): QsREF $2, QsCAL $3",
            {general6(row.zonePeaksQsRef), general6(row.zonePeaksQsCal),
             general6(simultaneity(f.qsRef.value, row.zonePeaksQsRef)),
             general6(simultaneity(f.qsCal.value, row.zonePeaksQsCal))});
    }
    if (f.nanHours > 0) {
        html += "<br><b>" + std::to_string(f.nanHours) +
                " horas con Qs no num&eacute;rico</b>, fuera de picos, sumas y cuentas";
    }
    return html + "</p>\n";
}

std::string sectionFiguresHtml(const SectionHours& hours, const SectionFigures& figures) {
    std::string html = "<div class=\"figs\">";
    appendCarpet(html, hours);
    if (!hours.treal.empty()) appendTemperatureCarpet(html, hours);
    html += peakDayHtml(hours, figures.qsRef.hour, "QsREF");
    html += peakDayHtml(hours, figures.qsCal.hour, "QsCAL");
    html += durationCurveHtml(hours.qs);
    html += monthlyHtml(figures);
    return html + "</div></section>\n";
}

std::string comparisonHtml(const Comparison& comparison, const SectionHours& baseBuilding,
                           const SectionFigures& baseFigures, const SectionHours& variantBuilding,
                           const SectionFigures& variantFigures) {
    std::string html =
        fill("<section class=\"comparison\"><h2>Comparaci&oacute;n: $0 (variante) frente a $1 (base)</h2>\n",
             {htmlName(comparison.variantReport), htmlName(comparison.baseReport)});
    for (const UnpairedBlock& b : comparison.unpaired) {
        html += fill("<p class=\"warn\">Aviso: $0: bloque $1 ($2) sin zona del mismo nombre en la $3 $4</p>\n",
                     {htmlName(b.report), std::to_string(b.block), htmlText(b.zone), b.inBase ? "variante" : "base",
                      htmlName(b.otherReport)});
    }
    std::vector<std::string> header = differenceHeader();
    html +=
        R"(<div class="wide"><table class="comparison"><caption>Diferencias por zona y del edificio: base, variante, )"
        R"(variante &minus; base y en % de la base</caption><tr>)";
    constexpr std::size_t kFirstShown = 2;  // the reports' names are in the heading
    constexpr std::size_t kFirstFigure = 5;
    for (std::size_t i = kFirstShown; i < header.size(); ++i) html += "<th>" + htmlText(header[i]) + "</th>";
    html += "</tr>\n";
    for (const DifferenceRow& row : comparison.rows) {
        std::vector<std::string> fields = differenceFields(row);
        html += "<tr>";
        for (std::size_t i = kFirstShown; i < fields.size(); ++i) {
            html += (i < kFirstFigure ? "<td>" : R"(<td class="n">)") + htmlText(fields[i]) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table></div>\n<div class=\"figs\">" + differenceCarpetHtml(baseBuilding.qs, variantBuilding.qs) +
            durationCurvesHtml(baseBuilding.qs, variantBuilding.qs) +
            monthlyComparisonHtml(baseFigures, variantFigures) + "</div></section>\n";
    return html;
}

std::string pageConstants() {
    std::vector<int> monthEnds;
    std::vector<std::string> months;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        monthEnds.push_back(monthStartDay(m) + monthDays(m));
        months.push_back(monthName(m));
    }
    auto number = [](int v) { return std::to_string(v); };
    auto text = [](const std::string& v) { return "'" + v + "'"; };
    auto colour = [](const Rgb& c) {
        return fill("[$0,$1,$2]", {std::to_string(c.r), std::to_string(c.g), std::to_string(c.b)});
    };
    return fill("{hoursPerDay:$0,daysPerYear:$1,hoursPerYear:$2,months:$3,monthEnds:$4,digits:" +
                    std::to_string(kSignificantDigits) +
                    ","
                    "chartWidth:$5,plotLeft:$6,plotWidth:$7,palette:$8,temperatureSteps:$9,",
                {number(kHoursPerDay), number(kDaysPerYear), number(kHoursPerYear), arrayOf(months, text),
                 arrayOf(monthEnds, number), number(kChartWidth), number(kPlotLeft), number(kPlotRight - kPlotLeft),
                 arrayOf(temperaturePalette(), colour), number(kTemperatureLevels)}) +
           "temperatureKelvins:" + general6(kTemperatureScaleK) + "}";
}

std::string pageEnd() {
    static const std::string end =
        "<div id=\"tip\"></div><script>\nvar PAGE=" + pageConstants() + ";\n" + kPageJs + "</script>\n</body></html>\n";
    return end;
}

}  // namespace view
}  // namespace zoneloads
