#include "view/figures/summary_columns.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/number_display.h"
#include "view/figures/statistics.h"

namespace zoneloads {
namespace view {
namespace {

Cell nothing() { return {}; }

Cell integer(int value) { return {CellKind::integer, std::to_string(value), static_cast<double>(value), -1}; }

// A real as the tables write it; the spreadsheet holds the number of that
// text, so that every output says the same ("inf" where the CSV says inf).
Cell real(std::string text) {
    double number = valueOfText(text);
    return {CellKind::real, std::move(text), number, -1};
}

// A real the tables write with six significant digits.
Cell real6(double value) { return real(general6(value)); }

// A ratio with six significant digits; nothing when it is undefined (NaN).
Cell ratio(double value) { return std::isnan(value) ? nothing() : real6(value); }

// Energy in kWh from Wh, six significant digits.
Cell kWh(double wh) { return real(general6(wh / 1000)); }

Cell peak(const Peak& p) { return real(p.text); }

Cell hourOf(const Peak& p) { return p.hour < 0 ? nothing() : Cell{CellKind::hour, "", 0, p.hour}; }

Cell dateOf(const Peak& p) { return p.hour < 0 ? nothing() : Cell{CellKind::date, "", 0, p.hour}; }

// The building's figure, or nothing on a zone block's row.
Cell buildingOnly(const SummaryRow& row, Cell cell) { return isBuilding(row) ? cell : nothing(); }

const SectionFigures& t(const SummaryRow& row) { return temperatureFigures(row); }

// Zone-hours outside: a zone block's own hours, the building's zone blocks'
// hours added up.
int zoneHoursAbove(const SummaryRow& r) { return isBuilding(r) ? r.zoneHoursAbove : r.figures.hoursAbove; }
int zoneHoursBelow(const SummaryRow& r) { return isBuilding(r) ? r.zoneHoursBelow : r.figures.hoursBelow; }

using R = const SummaryRow&;
using F = CellFormat;

// The CSV's columns in its order (the first twelve those of version 1.0,
// each later one added at the end), then those of other outputs alone.
// Positions: workbook, console, compared. Made on first use, not before
// main, where a failure could not be told as a message.
std::vector<SummaryColumn> makeColumns() {
    return {
        {"informe", "Informe", nullptr, F::plain, true, false, true, 0, -1, -1,
         [](R r) {
             return Cell{CellKind::report, r.report, 0, -1};
         },
         nullptr},
        {"bloque", "Bloque", nullptr, F::plain, true, false, true, 1, -1, -1,
         [](R r) {
             return isBuilding(r) ? Cell{CellKind::text, "TOTAL", 0, -1} : integer(r.block);
         },
         nullptr},
        {"zona", "Zona", nullptr, F::plain, true, false, true, 2, -1, -1,
         [](R r) {
             return isBuilding(r) ? nothing() : Cell{CellKind::zone, r.zone, 0, -1};
         },
         nullptr},
        {"QsREF_max[W]", "Punta de refrigeraci\u00f3n [W]", "refrig. [W]", F::watts, false, false, true, 3, 2, 0,
         [](R r) { return peak(r.figures.qsRef); }, [](R r) { return r.figures.qsRef.value; }},
        {"hora_QsREF_max", "Hora de la punta de refrigeraci\u00f3n (0 a 8759)", nullptr, F::plain, false, false, true,
         -1, -1, -1, [](R r) { return hourOf(r.figures.qsRef); }, nullptr},
        {"QsCAL_max[W]", "Punta de calefacci\u00f3n [W]", "calef. [W]", F::watts, false, true, true, 5, 4, 1,
         [](R r) { return peak(r.figures.qsCal); }, [](R r) { return r.figures.qsCal.value; }},
        {"hora_QsCAL_max", "Hora de la punta de calefacci\u00f3n (0 a 8759)", nullptr, F::plain, false, false, true, -1,
         -1, -1, [](R r) { return hourOf(r.figures.qsCal); }, nullptr},
        {"Qs_pos[kWh]", "Energ\u00eda de refrigeraci\u00f3n, suma de zonas [kWh]", "refrig. [kWh]", F::kilowattHours,
         false, false, true, 11, 6, 4, [](R r) { return kWh(r.figures.qsPosWh); },
         [](R r) { return r.figures.qsPosWh / 1000; }},
        {"Qs_neg[kWh]", "Energ\u00eda de calefacci\u00f3n, suma de zonas [kWh]", "calef. [kWh]", F::kilowattHours,
         false, true, true, 13, 7, 5, [](R r) { return kWh(r.figures.qsNegWh); },
         [](R r) { return r.figures.qsNegWh / 1000; }},
        {"QL[kWh]", "Energ\u00eda latente [kWh]", "latente [kWh]", F::kilowattHours, false, false, true, 15, -1, 6,
         [](R r) { return kWh(r.figures.qlWh); }, [](R r) { return r.figures.qlWh / 1000; }},
        {"horas_Qs_pos", "Horas de refrigeraci\u00f3n (Qs > 0) [h]", nullptr, F::hours, false, false, true, 16, -1, -1,
         [](R r) { return integer(r.figures.hoursQsPos); }, nullptr},
        {"horas_Qs_neg", "Horas de calefacci\u00f3n (Qs < 0) [h]", nullptr, F::hours, false, false, true, 17, -1, -1,
         [](R r) { return integer(r.figures.hoursQsNeg); }, nullptr},
        {"fecha_QsREF_max", "Fecha de la punta de refrigeraci\u00f3n", "fecha", F::date, false, false, true, 4, 3, -1,
         [](R r) { return dateOf(r.figures.qsRef); }, nullptr},
        {"fecha_QsCAL_max", "Fecha de la punta de calefacci\u00f3n", "fecha", F::date, false, false, true, 6, 5, -1,
         [](R r) { return dateOf(r.figures.qsCal); }, nullptr},
        {"suma_QsREF_max_zonas", "Suma de las puntas de refrigeraci\u00f3n de las zonas [W]", nullptr, F::watts, false,
         false, true, 18, -1, -1, [](R r) { return buildingOnly(r, real6(r.zonePeaksQsRef)); }, nullptr},
        {"suma_QsCAL_max_zonas", "Suma de las puntas de calefacci\u00f3n de las zonas [W]", nullptr, F::watts, false,
         true, true, 20, -1, -1, [](R r) { return buildingOnly(r, real6(r.zonePeaksQsCal)); }, nullptr},
        {"QL_max[W]", "Punta latente [W]", "latente [W]", F::watts, false, false, true, 7, -1, 2,
         [](R r) { return peak(r.figures.ql); }, [](R r) { return r.figures.ql.value; }},
        {"fecha_QL_max", "Fecha de la punta latente", nullptr, F::date, false, false, true, 8, -1, -1,
         [](R r) { return dateOf(r.figures.ql); }, nullptr},
        {"QsQL_max[W]", "Punta sensible + latente [W]", "S+L [W]", F::watts, false, false, true, 9, -1, 3,
         [](R r) { return peak(r.figures.total); }, [](R r) { return r.figures.total.value; }},
        {"fecha_QsQL_max", "Fecha de la punta sensible + latente", nullptr, F::date, false, false, true, 10, -1, -1,
         [](R r) { return dateOf(r.figures.total); }, nullptr},
        {"horas_T_sobre_max",
         "Horas por encima de Tmax + tolerancia (en TOTAL, de la zona con m\u00e1s horas fuera) [h]", nullptr, F::hours,
         false, false, true, 26, -1, -1, [](R r) { return integer(t(r).hoursAbove); }, nullptr},
        {"horas_T_bajo_min",
         "Horas por debajo de Tmin - tolerancia (en TOTAL, de la zona con m\u00e1s horas fuera) [h]", nullptr, F::hours,
         false, false, true, 27, -1, -1, [](R r) { return integer(t(r).hoursBelow); }, nullptr},
        {"Kh_sobre_max", "Grados-hora por encima de Tmax (en TOTAL, de la zona con m\u00e1s horas fuera) [K\u00b7h]",
         nullptr, F::kelvinHours, false, false, true, 28, -1, -1, [](R r) { return real6(t(r).degreeHoursAbove); },
         nullptr},
        {"Kh_bajo_min", "Grados-hora por debajo de Tmin (en TOTAL, de la zona con m\u00e1s horas fuera) [K\u00b7h]",
         nullptr, F::kelvinHours, false, false, true, 29, -1, -1, [](R r) { return real6(t(r).degreeHoursBelow); },
         nullptr},
        {"bloque_mas_horas_fuera", "Bloque con m\u00e1s horas fuera de consigna", nullptr, F::plain, false, false, true,
         32, -1, -1, [](R r) { return isBuilding(r) && r.worstBlock > 0 ? integer(r.worstBlock) : nothing(); },
         nullptr},
        {"Qs_pos_neto[kWh]", "Energ\u00eda de refrigeraci\u00f3n neta del edificio [kWh]", nullptr, F::kilowattHours,
         false, false, true, 12, -1, -1, [](R r) { return kWh(r.figures.qsNetPosWh); }, nullptr},
        {"Qs_neg_neto[kWh]", "Energ\u00eda de calefacci\u00f3n neta del edificio [kWh]", nullptr, F::kilowattHours,
         false, true, true, 14, -1, -1, [](R r) { return kWh(r.figures.qsNetNegWh); }, nullptr},
        {"horas_T_sobre_max_zonas",
         "Horas-zona por encima de Tmax + tolerancia (en TOTAL, suma de todas las zonas) [h]", "h-zona > Tmax",
         F::hours, false, false, true, 30, -1, 7, [](R r) { return integer(zoneHoursAbove(r)); },
         [](R r) { return static_cast<double>(zoneHoursAbove(r)); }},
        {"horas_T_bajo_min_zonas", "Horas-zona por debajo de Tmin - tolerancia (en TOTAL, suma de todas las zonas) [h]",
         "h-zona < Tmin", F::hours, false, false, true, 31, -1, 8, [](R r) { return integer(zoneHoursBelow(r)); },
         [](R r) { return static_cast<double>(zoneHoursBelow(r)); }},
        {"Qs_simultaneo[kWh]", "Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas [kWh]", "simult. [kWh]",
         F::kilowattHours, false, false, true, 22, -1, 9,
         [](R r) { return buildingOnly(r, kWh(r.figures.simultaneousWh)); },
         [](R r) { return r.figures.simultaneousWh / 1000; }},
        {"horas_Qs_simultaneo", "Horas de calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas [h]", nullptr,
         F::hours, false, false, true, 23, -1, -1,
         [](R r) { return buildingOnly(r, integer(r.figures.hoursSimultaneous)); }, nullptr},
        {"Qs_simultaneo_max[W]", "Punta simult\u00e1nea [W]", nullptr, F::watts, false, false, true, 24, -1, -1,
         [](R r) { return buildingOnly(r, peak(r.figures.simultaneous)); }, nullptr},
        {"fecha_Qs_simultaneo_max", "Fecha de la punta simult\u00e1nea", nullptr, F::date, false, false, true, 25, -1,
         -1, [](R r) { return buildingOnly(r, dateOf(r.figures.simultaneous)); }, nullptr},
        {"tolerancia_T[K]", "Tolerancia de las consignas [K]", nullptr, F::kelvins, false, false, true, 33, -1, -1,
         [](R r) { return real6(r.figures.tolerance); }, nullptr},
        {"numero_zona", "N\u00famero de zona", nullptr, F::plain, true, false, true, -1, -1, -1,
         [](R r) { return r.zoneNumber < 0 ? nothing() : integer(r.zoneNumber); }, nullptr},
        {"factor_simultaneidad_QsREF", "Factor de simultaneidad de refrigeraci\u00f3n", nullptr, F::percent, false,
         false, false, 19, -1, -1,
         [](R r) { return buildingOnly(r, ratio(simultaneity(r.figures.qsRef.value, r.zonePeaksQsRef))); }, nullptr},
        {"factor_simultaneidad_QsCAL", "Factor de simultaneidad de calefacci\u00f3n", nullptr, F::percent, false, false,
         false, 21, -1, -1,
         [](R r) { return buildingOnly(r, ratio(simultaneity(r.figures.qsCal.value, r.zonePeaksQsCal))); }, nullptr},
        {"horas_fuera", "Horas-zona fuera de consigna [h]", "h fuera", F::hours, false, false, false, -1, 8, -1,
         [](R r) { return integer(zoneHoursAbove(r) + zoneHoursBelow(r)); }, nullptr},
    };
}

// The columns that have a place in an output, in its order.
std::vector<const SummaryColumn*> placed(int SummaryColumn::*position) {
    std::vector<const SummaryColumn*> columns;
    for (const SummaryColumn& c : summaryColumns()) {
        if (c.*position >= 0) columns.push_back(&c);
    }
    std::sort(columns.begin(), columns.end(),
              [position](const SummaryColumn* a, const SummaryColumn* b) { return a->*position < b->*position; });
    return columns;
}

}  // namespace

const std::vector<SummaryColumn>& summaryColumns() {
    static const std::vector<SummaryColumn> columns = makeColumns();
    return columns;
}

std::vector<const SummaryColumn*> csvColumns() {
    std::vector<const SummaryColumn*> columns;
    for (const SummaryColumn& c : summaryColumns()) {
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

std::optional<Quantity> columnQuantity(const SummaryColumn& column) {
    switch (column.format) {
        case CellFormat::watts: return Quantity::power;
        case CellFormat::kilowattHours: return Quantity::energy;
        case CellFormat::hours: return Quantity::hours;
        case CellFormat::kelvinHours: return Quantity::degreeHours;
        case CellFormat::kelvins: return Quantity::tolerance;
        case CellFormat::percent: return Quantity::simultaneityFactor;
        default: return std::nullopt;
    }
}

double shownValue(const SummaryColumn& column, double value) { return column.magnitude ? std::fabs(value) : value; }

Cell shownCell(const SummaryColumn& column, const Cell& cell) {
    if (!column.magnitude || cell.kind != CellKind::real || !(cell.number < 0) || cell.text.empty()) return cell;
    Cell shown = cell;
    shown.number = -cell.number;
    if (shown.text[0] == '-') shown.text.erase(0, 1);
    return shown;
}

std::string decimalComma(std::string text) {
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

}  // namespace view
}  // namespace zoneloads
