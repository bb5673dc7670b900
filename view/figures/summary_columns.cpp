#include "view/figures/summary_columns.h"

#include <algorithm>

#include "common/number_display.h"
#include "view/figures/statistics.h"

namespace zoneloads {
namespace view {
namespace {

Cell nothing() { return {}; }

Cell integer(int value) { return {CellKind::integer, std::to_string(value), static_cast<double>(value), -1}; }

// A real and the text the tables write of it.
Cell real(double value, std::string text) { return {CellKind::real, std::move(text), value, -1}; }

// A real the tables write with six significant digits.
Cell real6(double value) { return real(value, general6(value)); }

// Energy in kWh from Wh, six significant digits; the spreadsheet holds the
// number of that text.
Cell kWh(double wh) { return real(general6Value(wh / 1000), general6(wh / 1000)); }

Cell peak(const Peak& p) { return real(p.value, p.text); }

Cell hourOf(const Peak& p) { return p.hour < 0 ? nothing() : Cell{CellKind::hour, "", 0, p.hour}; }

Cell dateOf(const Peak& p) { return p.hour < 0 ? nothing() : Cell{CellKind::date, "", 0, p.hour}; }

// The building's figure, or nothing on a zone block's row.
Cell buildingOnly(const SummaryRow& row, Cell cell) { return isBuilding(row) ? cell : nothing(); }

const SectionFigures& t(const SummaryRow& row) { return temperatureFigures(row); }

// A building's hours outside are its zone blocks' added up.
double hoursAbove(const SummaryRow& r) { return isBuilding(r) ? r.zoneHoursAbove : r.figures.hoursAbove; }
double hoursBelow(const SummaryRow& r) { return isBuilding(r) ? r.zoneHoursBelow : r.figures.hoursBelow; }

using R = const SummaryRow&;

// The CSV's columns in its order (the first twelve those of version 1.0,
// each later one added at the end), then the workbook's own.
const std::vector<SummaryColumn> kColumns = {
    {"informe", "informe", true, true, 0, 0, -1,
     [](R r) {
         return Cell{CellKind::report, r.report, 0, -1};
     },
     nullptr},
    {"bloque", "bloque", true, true, 1, 1, -1,
     [](R r) {
         return isBuilding(r) ? Cell{CellKind::text, "TOTAL", 0, -1} : integer(r.block);
     },
     nullptr},
    {"zona", "zona", true, true, 2, 2, -1,
     [](R r) {
         return isBuilding(r) ? nothing() : Cell{CellKind::zone, r.zone, 0, -1};
     },
     nullptr},
    {"QsREF_max[W]", "QsREF_max [W]", false, true, 3, 3, 0, [](R r) { return peak(r.figures.qsRef); },
     [](R r) { return r.figures.qsRef.value; }},
    {"hora_QsREF_max", "", false, true, -1, -1, -1, [](R r) { return hourOf(r.figures.qsRef); }, nullptr},
    {"QsCAL_max[W]", "QsCAL_max [W]", false, true, 5, 5, 1, [](R r) { return peak(r.figures.qsCal); },
     [](R r) { return r.figures.qsCal.value; }},
    {"hora_QsCAL_max", "", false, true, -1, -1, -1, [](R r) { return hourOf(r.figures.qsCal); }, nullptr},
    {"Qs_pos[kWh]", "Qs > 0 [kWh]", false, true, 7, 11, 4, [](R r) { return kWh(r.figures.qsPosWh); },
     [](R r) { return r.figures.qsPosWh / 1000; }},
    {"Qs_neg[kWh]", "Qs < 0 [kWh]", false, true, 8, 12, 5, [](R r) { return kWh(r.figures.qsNegWh); },
     [](R r) { return r.figures.qsNegWh / 1000; }},
    {"QL[kWh]", "QL [kWh]", false, true, 9, 13, 6, [](R r) { return kWh(r.figures.qlWh); },
     [](R r) { return r.figures.qlWh / 1000; }},
    {"horas_Qs_pos", "horas Qs > 0", false, true, 10, 14, -1, [](R r) { return integer(r.figures.hoursQsPos); },
     nullptr},
    {"horas_Qs_neg", "horas Qs < 0", false, true, 11, 15, -1, [](R r) { return integer(r.figures.hoursQsNeg); },
     nullptr},
    {"fecha_QsREF_max", "fecha QsREF_max", false, true, 4, 4, -1, [](R r) { return dateOf(r.figures.qsRef); }, nullptr},
    {"fecha_QsCAL_max", "fecha QsCAL_max", false, true, 6, 6, -1, [](R r) { return dateOf(r.figures.qsCal); }, nullptr},
    {"suma_QsREF_max_zonas", "suma QsREF_max zonas [W]", false, true, 12, -1, -1,
     [](R r) { return buildingOnly(r, real6(r.zonePeaksQsRef)); }, nullptr},
    {"suma_QsCAL_max_zonas", "suma QsCAL_max zonas [W]", false, true, 14, -1, -1,
     [](R r) { return buildingOnly(r, real6(r.zonePeaksQsCal)); }, nullptr},
    {"QL_max[W]", "QL_max [W]", false, true, 16, 7, 2, [](R r) { return peak(r.figures.ql); },
     [](R r) { return r.figures.ql.value; }},
    {"fecha_QL_max", "fecha QL_max", false, true, 17, 8, -1, [](R r) { return dateOf(r.figures.ql); }, nullptr},
    {"QsQL_max[W]", "Qs+QL max [W]", false, true, 18, 9, 3, [](R r) { return peak(r.figures.total); },
     [](R r) { return r.figures.total.value; }},
    {"fecha_QsQL_max", "fecha Qs+QL max", false, true, 19, 10, -1, [](R r) { return dateOf(r.figures.total); },
     nullptr},
    {"horas_T_sobre_max", "horas Treal > Tmax", false, true, 20, 16, 7, [](R r) { return integer(t(r).hoursAbove); },
     hoursAbove},
    {"horas_T_bajo_min", "horas Treal < Tmin", false, true, 21, 17, 8, [](R r) { return integer(t(r).hoursBelow); },
     hoursBelow},
    {"Kh_sobre_max", "Kh sobre Tmax", false, true, 22, -1, -1, [](R r) { return real6(t(r).degreeHoursAbove); },
     nullptr},
    {"Kh_bajo_min", "Kh bajo Tmin", false, true, 23, -1, -1, [](R r) { return real6(t(r).degreeHoursBelow); }, nullptr},
    {"bloque_mas_horas_fuera", "bloque con mas horas fuera", false, true, 24, -1, -1,
     [](R r) { return isBuilding(r) && r.worstBlock > 0 ? integer(r.worstBlock) : nothing(); }, nullptr},
    {"factor_simultaneidad_QsREF", "factor de simultaneidad QsREF", false, false, 13, -1, -1,
     [](R r) { return buildingOnly(r, real6(simultaneity(r.figures.qsRef.value, r.zonePeaksQsRef))); }, nullptr},
    {"factor_simultaneidad_QsCAL", "factor de simultaneidad QsCAL", false, false, 15, -1, -1,
     [](R r) { return buildingOnly(r, real6(simultaneity(r.figures.qsCal.value, r.zonePeaksQsCal))); }, nullptr},
};

// The columns that have a place in an output, in its order.
std::vector<const SummaryColumn*> placed(int SummaryColumn::*position) {
    std::vector<const SummaryColumn*> columns;
    for (const SummaryColumn& c : kColumns) {
        if (c.*position >= 0) columns.push_back(&c);
    }
    std::sort(columns.begin(), columns.end(),
              [position](const SummaryColumn* a, const SummaryColumn* b) { return a->*position < b->*position; });
    return columns;
}

}  // namespace

const std::vector<SummaryColumn>& summaryColumns() { return kColumns; }

std::vector<const SummaryColumn*> csvColumns() {
    std::vector<const SummaryColumn*> columns;
    for (const SummaryColumn& c : kColumns) {
        if (c.inCsv) columns.push_back(&c);
    }
    return columns;
}

std::vector<const SummaryColumn*> workbookColumns() { return placed(&SummaryColumn::workbookPosition); }

std::vector<const SummaryColumn*> consoleColumns() { return placed(&SummaryColumn::consolePosition); }

std::vector<const SummaryColumn*> comparedColumns() { return placed(&SummaryColumn::comparedPosition); }

std::string csvText(const Cell& cell) {
    switch (cell.kind) {
        case CellKind::empty: return "";
        case CellKind::hour: return std::to_string(cell.hour);
        case CellKind::date: return hourDayMonth(cell.hour);
        default: return cell.text;
    }
}

}  // namespace view
}  // namespace zoneloads
