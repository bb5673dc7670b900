#include "view/page/page.h"

#include <cmath>
#include <string>

#include "common/calendar.h"
#include "common/number_display.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_columns.h"
#include "view/page/hour_values.h"
#include "view/page/markup.h"
#include "view/page/page_assets.h"
#include "view/page/section_values.h"
#include "view/tables/csv.h"

namespace zoneloads {
namespace view {
namespace {

// The most rows of a summary table shown open as the page opens: 100 zone
// blocks and the building's row. Laying out a table of 200 zones takes a
// browser about half a second, as long as the rest of such a page.
constexpr std::size_t kRowsShownOpen = 101;

// Where a section's pictures go, for a reader without scripts.
const char kPicturesNeedScripts[] =
    "<noscript>Los gr&aacute;ficos necesitan los scripts de la p&aacute;gina; sus cifras est&aacute;n arriba."
    "</noscript>";

const char kPageHead[] = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>$0</title><style>
$1</style></head><body>
<h1>$0</h1>
)";

// A number as the page writes it for a reader: a decimal comma.
std::string shown(const std::string& number) { return htmlText(decimalComma(number)); }

std::string kWhText(double wh) { return shown(general6(wh / 1000)); }

// "punta de calefacción <b>2363,6 W</b> el 12 ene 07:00", its magnitude for
// heating.
std::string peakText(const char* label, const Peak& peak, bool heating = false) {
    std::string value = heating && !peak.text.empty() && peak.text[0] == '-' ? peak.text.substr(1) : peak.text;
    std::string text = std::string(label) + " <b>" + shown(value) + " W</b>";
    return peak.hour < 0 ? text + " (ninguna hora)" : text + " el " + hourDate(peak.hour);
}

// A percentage with one decimal and a decimal comma; a dash for a ratio that
// is undefined (NaN).
std::string percent(double ratio) { return std::isnan(ratio) ? "&mdash;" : decimalComma(fixed1(ratio * 100)) + " %"; }

// The energies of a section: a zone block's own; the building's as the sum
// of its zones' and as its own net load. Heating as its magnitude, as
// shownValue gives it: a zone with no heating hour shows 0, never -0.
std::string energiesHtml(const SectionFigures& f) {
    if (!f.building) {
        return fill(
            "Energ&iacute;a de refrigeraci&oacute;n <b>$0 kWh</b> en $1 h &middot; de calefacci&oacute;n "
            "<b>$2 kWh</b> en $3 h &middot; latente $4 kWh",
            {kWhText(f.qsPosWh), std::to_string(f.hoursQsPos), kWhText(std::fabs(f.qsNegWh)),
             std::to_string(f.hoursQsNeg), kWhText(f.qlWh)});
    }
    return fill(
        "Energ&iacute;a de refrigeraci&oacute;n: suma de las zonas <b>$0 kWh</b>, neta del edificio $1 kWh "
        "en $2 h &middot; de calefacci&oacute;n: suma de las zonas <b>$3 kWh</b>, neta del edificio $4 kWh "
        "en $5 h &middot; latente $6 kWh",
        {kWhText(f.qsPosWh), kWhText(f.qsNetPosWh), std::to_string(f.hoursQsPos), kWhText(std::fabs(f.qsNegWh)),
         kWhText(std::fabs(f.qsNetNegWh)), std::to_string(f.hoursQsNeg), kWhText(f.qlWh)});
}

// What the building takes from its zones: the simultaneous heating and
// cooling, the zone with most hours outside, the sums of the zones' peaks.
std::string buildingHtml(const SummaryRow& row) {
    const SectionFigures& f = row.figures;
    std::string html = fill(
        "<br>Calefacci&oacute;n y refrigeraci&oacute;n simult&aacute;neas (calor recuperable entre zonas): "
        "<b>$0 kWh</b> en $1 h, $2",
        {kWhText(f.simultaneousWh), std::to_string(f.hoursSimultaneous), peakText("punta", f.simultaneous)});
    if (row.worstBlock > 0) {
        html += fill(
            "<br>Zona con m&aacute;s horas fuera de consigna: bloque $0, $1: $2 h por encima de Tmax y $3 h por "
            "debajo de Tmin &middot; todas las zonas: $4 y $5 horas-zona",
            {std::to_string(row.worstBlock), htmlName(row.worstZone), std::to_string(row.worst.hoursAbove),
             std::to_string(row.worst.hoursBelow), std::to_string(row.zoneHoursAbove),
             std::to_string(row.zoneHoursBelow)});
    }
    html += fill(
        "<br>Suma de las puntas de las zonas: refrigeraci&oacute;n $0 W, calefacci&oacute;n $1 W &middot; factor de "
        "simultaneidad (punta del edificio / suma de las puntas): refrigeraci&oacute;n $2, calefacci&oacute;n $3",
        {shown(general6(row.zonePeaksQsRef)), shown(general6(std::fabs(row.zonePeaksQsCal))),
         percent(simultaneity(f.qsRef.value, row.zonePeaksQsRef)),
         percent(simultaneity(f.qsCal.value, row.zonePeaksQsCal))});
    return html;
}

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

// A section's heading and its figures as text.
std::string sectionTextHtml(const SummaryRow& row) {
    const SectionFigures& f = row.figures;
    std::string html = "<h3>";
    html += isBuilding(row) ? std::string("Edificio: totales de todas las zonas")
                            : "Bloque " + std::to_string(row.block) + ": " + htmlName(row.zone);
    html += "</h3>\n<p>" + peakText("Punta de refrigeraci&oacute;n", f.qsRef) + " &middot; " +
            peakText("punta de calefacci&oacute;n", f.qsCal, true) + "<br>" + peakText("Punta latente", f.ql) +
            " &middot; " + peakText("punta sensible + latente", f.total) + "<br>" + energiesHtml(f);
    if (f.temperatures) {
        html += fill(
            "<br>Horas fuera de consigna (m&aacute;s de $0 K): por encima de Tmax <b>$1 h</b> ($2 K&middot;h) "
            "&middot; por debajo de Tmin <b>$3 h</b> ($4 K&middot;h)",
            {shown(general6(f.tolerance)), std::to_string(f.hoursAbove), shown(general6(f.degreeHoursAbove)),
             std::to_string(f.hoursBelow), shown(general6(f.degreeHoursBelow))});
    }
    if (isBuilding(row)) html += buildingHtml(row);
    if (f.nanHours > 0) {
        html += "<br><b>" + std::to_string(f.nanHours) +
                " horas con Qs no num&eacute;rico</b>, fuera de puntas, sumas y cuentas";
    }
    return html + "</p>\n";
}

}  // namespace

// The chart library's style first, so that the page's own can change it.
std::string pageStart(const std::string& titleHtml) {
    return fill(kPageHead, {titleHtml, std::string(kChartCss) + kPageCss});
}

namespace {

// A cell of the page's table: a heating figure as its magnitude, numbers
// with a decimal comma, a ratio as a percentage, dates as "17 jul 13:00".
std::string tableCellHtml(const SummaryColumn& column, const Cell& cell) {
    Cell value = shownCell(column, cell);
    switch (value.kind) {
        case CellKind::report:
        case CellKind::zone: return htmlName(value.text);
        case CellKind::date: return htmlText(hourDate(value.hour));
        case CellKind::real:
            if (column.format == CellFormat::percent && std::isfinite(value.number)) return percent(value.number);
            return shown(value.text);
        default: return htmlText(csvText(value));
    }
}

}  // namespace

// The summary in the workbook's order: each peak beside its date, the
// energies side by side; under a heading that opens and closes it, open
// unless its rows are so many that laying them out would keep the page from
// opening at once (a browser lays out a table's every cell before showing
// it).
std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption) {
    std::vector<const SummaryColumn*> columns = workbookColumns();
    std::string html = fill(R"(<details class="rows"$0><summary>$1 &middot; $2 filas</summary>)"
                            R"(<div class="wide"><table class="summary"><tr>)",
                            {rows.size() <= kRowsShownOpen ? " open" : "", caption, std::to_string(rows.size())});
    for (const SummaryColumn* c : columns) html += "<th>" + std::string(c->label) + "</th>";
    html += "</tr>\n";
    for (const SummaryRow& row : rows) {
        html += "<tr>";
        for (const SummaryColumn* c : columns) {
            html += (c->identifies ? "<td>" : R"(<td class="n">)") + tableCellHtml(*c, c->cell(row)) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table></div></details>\n";
}

std::string sectionHeadHtml(const SummaryRow& row) { return "<section>" + sectionTextHtml(row); }

std::string zoneAnchor(int report, int block) { return "r" + std::to_string(report) + "b" + std::to_string(block); }

std::string zoneSectionHtml(const SummaryRow& row, int report, const SectionHours& hours) {
    return fill(R"(<section class="zone" id="$0" data-f="$1" data-v="$2">)",
                {zoneAnchor(report, row.block), figuresText(row.figures), zoneValues(hours, row.figures.tolerance)}) +
           sectionTextHtml(row) + "<div class=\"figs\"></div></section>\n";
}

std::string zoneIndexHtml(const std::vector<SummaryRow>& rows, int report) {
    std::string html =
        R"(<nav class="index"><details open><summary>&Iacute;ndice de zonas</summary>)"
        R"(<input type="search" class="filter" placeholder="Filtrar por nombre o n&uacute;mero" hidden><ol>)";
    for (const SummaryRow& row : rows) {
        if (isBuilding(row)) continue;
        html += fill(R"(<li><a href="#$0">$1 &middot; $2</a></li>)",
                     {zoneAnchor(report, row.block), std::to_string(row.block), htmlName(row.zone)});
    }
    return html + "</ol></details></nav>\n";
}

std::string hourlyChartHtml() {
    return R"(<details class="hourly"><summary>Gr&aacute;fico horario: el a&ntilde;o del edificio, para )"
           R"(acercarse a una semana o un d&iacute;a y comparar zonas</summary>)"
           R"(<noscript>El gr&aacute;fico horario necesita los scripts de la p&aacute;gina.</noscript></details>)"
           "\n";
}

std::string sectionFiguresHtml(const SectionHours& hours, const SectionFigures& figures) {
    return fill(R"(<div class="figs building" data-f="$0" data-v="$1">$2</div></section>)"
                "\n",
                {figuresText(figures), buildingValues(hours), kPicturesNeedScripts});
}

namespace {

// A compared figure's cells: base, variant, difference and difference in %
// of the base, as shown (heating as magnitudes, with what the change means).
std::string differenceCellsHtml(const SummaryColumn& column, const ComparedFigure& figure) {
    if (figure.none) return R"(<td class="n"></td><td class="n"></td><td class="n"></td><td class="n"></td>)";
    double base = shownValue(column, figure.base);
    double variant = shownValue(column, figure.variant);
    double difference = variant - base;
    double percent = percentOfBase(base, variant);
    std::string words;
    if (column.magnitude && difference != 0 && !std::isnan(difference)) {
        words = difference < 0 ? " menos calefacci&oacute;n" : " m&aacute;s calefacci&oacute;n";
    }
    std::string percentText;  // one decimal is what a reader compares
    if (std::isfinite(percent))
        percentText = decimalComma(fixed1(percent));
    else if (!std::isnan(percent))
        percentText = shown(general6(percent));
    std::string differenceText = std::isnan(difference) ? "" : shown(general6(difference));
    return fill(R"(<td class="n">$0</td><td class="n">$1</td><td class="n">$2</td><td class="n">$3$4</td>)",
                {shown(general6(base)), shown(general6(variant)), differenceText, percentText, words});
}

}  // namespace

std::string comparisonHtml(const Comparison& comparison, const SectionHours& baseBuilding,
                           const SectionFigures& baseFigures, const SectionHours& variantBuilding,
                           const SectionFigures& variantFigures) {
    std::string html =
        fill("<section class=\"comparison\"><h2>Comparaci&oacute;n: $0 (variante) frente a $1 (base)</h2>\n",
             {htmlName(comparison.variantReport), htmlName(comparison.baseReport)});
    for (const UnpairedBlock& b : comparison.unpaired) {
        html += fill("<p class=\"warn\">Aviso: $0: bloque $1 ($2) sin zona del mismo nombre en la $3 $4</p>\n",
                     {htmlName(b.report), std::to_string(b.block), htmlName(b.zone), b.inBase ? "variante" : "base",
                      htmlName(b.otherReport)});
    }
    std::vector<const SummaryColumn*> columns = comparedColumns();
    html += R"(<div class="wide"><table class="comparison"><caption>Diferencias por zona y del edificio: base, )"
            R"(variante, variante &minus; base y en % de la base; la calefacci&oacute;n en magnitud</caption>)"
            R"(<tr><th rowspan="2">Zona</th><th rowspan="2">Bloque base</th><th rowspan="2">Bloque variante</th>)";
    for (const SummaryColumn* c : columns) html += R"(<th colspan="4">)" + std::string(c->label) + "</th>";
    html += "</tr>\n<tr>";
    for (std::size_t i = 0; i < columns.size(); ++i) html += "<th>base</th><th>variante</th><th>dif.</th><th>%</th>";
    html += "</tr>\n";
    for (const DifferenceRow& row : comparison.rows) {
        html += "<tr><td>" + (row.building ? std::string("EDIFICIO") : htmlName(row.zone)) + "</td>";
        for (int block : {row.baseBlock, row.variantBlock}) {
            html += "<td>" + (row.building ? std::string("TOTAL") : std::to_string(block)) + "</td>";
        }
        for (std::size_t i = 0; i < columns.size(); ++i) html += differenceCellsHtml(*columns[i], row.figures[i]);
        html += "</tr>\n";
    }
    return html + fill(
                      "</table></div>\n"
                      R"(<div class="figs compared" data-f="$0" data-v="$1">$2</div></section>)"
                      "\n",
                      {figuresText(baseFigures) + " " + figuresText(variantFigures),
                       comparedValues(baseBuilding.qs, variantBuilding.qs), kPicturesNeedScripts});
}

std::string pageConstants(double tolerance) {
    std::vector<int> monthEnds;
    std::vector<std::string> months;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        monthEnds.push_back(monthStartDay(m) + monthDays(m));
        months.push_back(monthName(m));
    }
    auto number = [](int v) { return std::to_string(v); };
    auto text = [](const std::string& v) { return "'" + v + "'"; };
    const std::pair<const char*, std::string> constants[] = {
        {"hoursPerDay", number(kHoursPerDay)},
        {"daysPerYear", number(kDaysPerYear)},
        {"hoursPerYear", number(kHoursPerYear)},
        {"months", arrayOf(months, text)},
        {"monthEnds", arrayOf(monthEnds, number)},
        {"digits", number(kSignificantDigits)},
        {"temperatureSteps", number(kTemperatureLevels)},
        {"temperatureKelvins", general6(kTemperatureScaleK)},
        {"tolerance", general6(tolerance)},
        {"mostDecimals", number(kMostDecimals)},
    };
    std::string object = "{";
    for (const auto& c : constants) object += (object.size() > 1 ? "," : "") + std::string(c.first) + ":" + c.second;
    return object + "," + sectionLayouts() + "}";
}

// The script's files run as one function, so that nothing of theirs is
// seen outside it.
std::string pageEnd(double tolerance) {
    return "<div id=\"tip\"></div><script>\n" + std::string(kChartJs) +
           "</script><script>\nvar PAGE=" + pageConstants(tolerance) + ";\n(function () {\n'use strict';\n" + kPageJs +
           "})();\n</script>\n</body></html>\n";
}

}  // namespace view
}  // namespace zoneloads
