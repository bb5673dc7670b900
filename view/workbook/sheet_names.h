// The names of the workbook's sheets, planned before any is made: what a
// table runs over when it does not fit one sheet, and the name of each sheet,
// unique as a spreadsheet compares names.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "view/workbook/workbook.h"

namespace zoneloads {
namespace view {

constexpr int kChartRows = 22;  // rows of the Graficos sheet given to each report

// The sheets of the workbook, in order: per table, how many sheets it runs
// over, and their names.
struct SheetPlan {
    std::size_t summary = 1, comparison = 0, monthly = 1, charts = 1, duration = 1, peakDays = 1;
    std::vector<std::size_t> hourly;  // per report
    std::vector<std::string> names;
};

// The sheets for the reports and `differences` rows of comparison.
SheetPlan planSheets(const std::vector<ReportFigures>& reports, std::size_t differences, const WorkbookLimits& limits);

// The names of the sheets the workbook gets for the reports and `differences`
// rows of comparison, in order: every one unique as a spreadsheet compares
// names (whatever the letters' case), of whole characters, at most 31 of
// them; a report's hourly sheets are "Horas NAME", "Horas NAME (2)" ...
std::vector<std::string> workbookSheetNames(const std::vector<ReportFigures>& reports, const WorkbookLimits& limits,
                                            std::size_t differences = 0);

}  // namespace view
}  // namespace zoneloads
