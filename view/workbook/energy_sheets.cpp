#include <algorithm>
#include <cmath>

#include "common/calendar.h"
#include "common/text_encoding.h"
#include "view/figures/statistics.h"
#include "view/workbook/sheets.h"

namespace zoneloads {
namespace view {
namespace {

constexpr int kMonthColumn = 4;  // the Mensual sheet's first month column (E)

}  // namespace

void startMonthlySheet(lxw_worksheet* sheet, const Formats& formats) {
    std::vector<std::string> header = {"Informe", "Bloque", "Zona", "Energ\u00eda [kWh]"};
    for (int m = 0; m < kMonthsPerYear; ++m) header.push_back(monthName(m));
    header.push_back("A\u00f1o");
    writeHeader(sheet, header, formats, 9);
    setWidth(sheet, 0, 0, 24);
    setWidth(sheet, 2, 2, 24);
    setWidth(sheet, 3, 3, 38);  // "Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas"
    worksheet_freeze_panes(sheet, 1, kMonthColumn);
}

// Per section, rows of refrigeration (Qs > 0), heating (the magnitude of
// Qs < 0) and latent energy, and for a building its simultaneous heating and
// cooling, by month and for the year. Returns the row (counted over the
// table) of each report's building's first row, for the charts.
std::vector<std::size_t> writeMonthly(RowTable& table, const std::vector<ReportFigures>& reports,
                                      const Formats& formats) {
    std::vector<std::size_t> buildingRows;
    for (const ReportFigures& report : reports) {
        for (const SummaryRow& r : report.rows) {
            if (isBuilding(r)) buildingRows.push_back(table.next);
            const SectionFigures& f = r.figures;
            struct Part {
                const char* what;
                const double* months;
                bool heating;  // shown as its magnitude
            } parts[4] = {{"Refrigeraci\u00f3n (Qs > 0)", f.monthQsPosWh, false},
                          {"Calefacci\u00f3n (Qs < 0)", f.monthQsNegWh, true},
                          {"Latente (QL)", f.monthQLWh, false},
                          {"Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas", f.monthSimultaneousWh, false}};
            for (const Part& part : parts) {
                if (&part == &parts[3] && !isBuilding(r)) break;
                lxw_row_t row;
                lxw_worksheet* sheet = nextRow(table, row);
                writeRowLabel(sheet, row, report.name, r, formats);
                writeText(sheet, row, 3, part.what);
                double year = 0;
                for (int m = 0; m < kMonthsPerYear; ++m) {
                    double kWh = part.heating ? std::fabs(part.months[m] / 1000) : part.months[m] / 1000;
                    writeValue(sheet, row, static_cast<lxw_col_t>(kMonthColumn + m), kWh, formats.kilowattHours);
                    year += kWh;
                }
                writeValue(sheet, row, kMonthColumn + kMonthsPerYear, year, formats.kilowattHours);
            }
        }
    }
    filterTable(table, kMonthColumn + kMonthsPerYear);
    return buildingRows;
}

// Per report, its building's monthly energy (bars) and load duration curve,
// each drawn from the sheet and row or column that hold it.
void writeCharts(lxw_workbook* book, const std::vector<lxw_worksheet*>& sheets,
                 const std::vector<ReportFigures>& reports, const std::vector<std::size_t>& buildingRows,
                 const SheetPlan& plan, const WorkbookLimits& limits) {
    const std::size_t chartsPerSheet = std::max<std::size_t>(1, limits.rowsPerSheet / kChartRows);
    const std::size_t monthlyFirst = plan.summary + plan.comparison;
    const std::size_t durationFirst = monthlyFirst + plan.monthly + plan.charts;
    const std::size_t columnsPerSheet = limits.columnsPerSheet - 1;
    for (std::size_t r = 0; r < reports.size(); ++r) {
        lxw_worksheet* sheet = sheets[std::min(r / chartsPerSheet, sheets.size() - 1)];
        auto top = static_cast<lxw_row_t>(r % chartsPerSheet * kChartRows);
        std::string name = displayFileName(reports[r].name);
        lxw_chart* bars = workbook_add_chart(book, LXW_CHART_COLUMN);
        std::string monthlyTitle = cellText("Energ\u00eda mensual del edificio: " + name);
        chart_title_set_name(bars, monthlyTitle.c_str());
        const char* parts[3] = {"Refrigeraci\u00f3n", "Calefacci\u00f3n", "Latente"};
        for (int part = 0; part < 3; ++part) {
            CellPlace place = placeOfRow(plan.names, monthlyFirst, buildingRows[r] + static_cast<std::size_t>(part),
                                         limits.rowsPerSheet - 1);
            lxw_chart_series* series = chart_add_series(bars, nullptr, nullptr);
            chart_series_set_categories(series, place.sheet.c_str(), 0, kMonthColumn, 0,
                                        kMonthColumn + kMonthsPerYear - 1);
            chart_series_set_values(series, place.sheet.c_str(), place.row, kMonthColumn, place.row,
                                    kMonthColumn + kMonthsPerYear - 1);
            chart_series_set_name(series, parts[part]);
        }
        chart_axis_set_name(bars->y_axis, "kWh");
        chart_axis_set_label_position(bars->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);  // below the bars
        worksheet_insert_chart(sheet, top, 0, bars);

        const std::string& durationSheet = plan.names[durationFirst + r / columnsPerSheet];
        auto column = static_cast<lxw_col_t>(1 + r % columnsPerSheet);
        lxw_chart* curve = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT);
        std::string curveTitle = cellText("Curva de duraci\u00f3n de Qs del edificio: " + name);
        chart_title_set_name(curve, curveTitle.c_str());
        lxw_chart_series* series = chart_add_series(curve, nullptr, nullptr);
        // The rows that hold the curve's values: its hours that are numbers (at least one row, empty then).
        const std::vector<double>& qs = reports[r].building.qs;
        auto held = static_cast<lxw_row_t>(
            std::max<std::ptrdiff_t>(1, std::count_if(qs.begin(), qs.end(), [](double v) { return !std::isnan(v); })));
        chart_series_set_categories(series, durationSheet.c_str(), 1, 0, held, 0);
        chart_series_set_values(series, durationSheet.c_str(), 1, column, held, column);
        chart_series_set_name(series, "Qs [W]");
        chart_legend_set_position(curve, LXW_CHART_LEGEND_NONE);
        chart_axis_set_name(curve->x_axis, "Horas del a\u00f1o, ordenadas por su carga");
        chart_axis_set_name(curve->y_axis, "Qs [W]");
        chart_axis_set_min(curve->x_axis, 0);
        chart_axis_set_max(curve->x_axis, kHoursPerYear);
        chart_axis_set_major_unit(curve->x_axis, 1000);
        chart_axis_set_label_position(curve->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
        worksheet_insert_chart(sheet, top, 9, curve);
    }
}

// Each report's building Qs, largest first, against the hours: a column
// per report, as many beside the hours as a sheet holds, then on the next.
void writeDuration(const std::vector<lxw_worksheet*>& sheets, const std::vector<ReportFigures>& reports,
                   const WorkbookLimits& limits, const Formats& formats) {
    const std::size_t perSheet = limits.columnsPerSheet - 1;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        std::size_t first = s * perSheet;
        std::size_t count = std::min(perSheet, reports.size() - std::min(reports.size(), first));
        std::vector<std::string> header = {"Horas (ordenadas por su carga)"};
        std::vector<std::vector<double>> sorted;
        for (std::size_t r = first; r < first + count; ++r) {
            header.push_back("Qs del edificio " + displayFileName(reports[r].name) + " [W]");
            sorted.push_back(sortedDescending(reports[r].building.qs));
        }
        writeHeader(sheets[s], header, formats, 12);
        worksheet_freeze_panes(sheets[s], 1, 1);
        for (int h = 0; h < kHoursPerYear; ++h) {
            auto row = static_cast<lxw_row_t>(h + 1);
            worksheet_write_number(sheets[s], row, 0, h + 1, nullptr);
            for (std::size_t c = 0; c < sorted.size(); ++c) {
                if (static_cast<std::size_t>(h) < sorted[c].size()) {
                    writeValue(sheets[s], row, static_cast<lxw_col_t>(c + 1), sorted[c][static_cast<std::size_t>(h)],
                               formats.watts);
                }
            }
        }
    }
}

}  // namespace view
}  // namespace zoneloads
