// The sheets of the workbook, each table's writer: a sheet that a table
// starts is given its header and widths by its start function, and filled
// by the table's writer.
#pragma once

#include <xlsxwriter.h>

#include <cstddef>
#include <vector>

#include "view/figures/comparison.h"
#include "view/workbook/cells.h"
#include "view/workbook/sheet_names.h"
#include "view/workbook/workbook.h"

namespace zoneloads {
namespace view {

// Resumen: a row per zone block and per building, a cell per summary column.
void startSummarySheet(lxw_worksheet* sheet, const Formats& formats);
void writeSummary(RowTable& table, const std::vector<ReportFigures>& reports, const Formats& formats);

// Comparacion: the table of differences of the variants with the base.
void startComparisonSheet(lxw_worksheet* sheet, const Formats& formats);
void writeComparison(RowTable& table, const std::vector<DifferenceRow>& differences, const Formats& formats);

// Dias pico: the 24 hours of the days of each section's QsREF and QsCAL peaks.
void startPeakDaysSheet(lxw_worksheet* sheet, const Formats& formats);
void writePeakDays(RowTable& table, const std::vector<ReportFigures>& reports, const Formats& formats);

// Mensual: each section's energy by month. Returns the row (counted over the
// table) of each report's building's first row, for the charts.
void startMonthlySheet(lxw_worksheet* sheet, const Formats& formats);
std::vector<std::size_t> writeMonthly(RowTable& table, const std::vector<ReportFigures>& reports,
                                      const Formats& formats);

// Graficos: per report, its building's monthly energy and load duration
// curve, drawn from the Mensual and Duracion sheets.
void writeCharts(lxw_workbook* book, const std::vector<lxw_worksheet*>& sheets,
                 const std::vector<ReportFigures>& reports, const std::vector<std::size_t>& buildingRows,
                 const SheetPlan& plan, const WorkbookLimits& limits);

// Duracion: each report's building Qs, largest first.
void writeDuration(const std::vector<lxw_worksheet*>& sheets, const std::vector<ReportFigures>& reports,
                   const WorkbookLimits& limits, const Formats& formats);

// Horas: every report's hourly sheets, from `sheets` on, in the plan's
// order; false when the Qs cannot be read back from `zoneQs`.
bool writeHourly(std::vector<lxw_worksheet*>::const_iterator sheets, const std::vector<ReportFigures>& reports,
                 const SheetPlan& plan, ZoneQsFile& zoneQs, const WorkbookLimits& limits, const Formats& formats);

}  // namespace view
}  // namespace zoneloads
