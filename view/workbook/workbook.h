// The spreadsheet workbook of zoneloads-view (doc/formats.md, "Workbook"):
// the summary with dates and the non-coincident peaks, the monthly energy,
// the hourly loads of every zone block and of the building, the load
// duration curves and native charts. Written with libxlsxwriter in its
// constant-memory mode: the hourly values wait in a file, not in memory.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "view/figures/comparison.h"
#include "view/figures/report_figures.h"
#include "view/workbook_check/workbook_check.h"

namespace zoneloads {
namespace view {

// What a sheet holds. A table that does not fit runs on over further
// sheets named as its first with " (2)", " (3)" ... after it: rows under a
// repeated header, or columns beside a repeated first column.
struct WorkbookLimits {
    std::size_t rowsPerSheet = 1048576;   // a spreadsheet's rows, the header's included
    std::size_t columnsPerSheet = 16384;  // a spreadsheet's columns
    // Zone-block columns of an hourly sheet, beside its date and before the
    // building's four columns of its first sheet.
    std::size_t zoneColumnsPerSheet = 16384 - 5;
};

// Writes the workbook to `fileName` (UTF-8 on Windows, as libxlsxwriter
// takes it), making its scratch files in `scratchFolder`, and says in
// `written` what its sheets hold. Returns false, with what went wrong in
// `error`, when it cannot.
// `differences` are the rows of the table of differences of the variants
// with their base, none when no comparison was asked for.
bool writeWorkbook(const std::string& fileName, const std::string& scratchFolder,
                   const std::vector<ReportFigures>& reports, const std::vector<DifferenceRow>& differences,
                   ZoneQsFile& zoneQs, const WorkbookLimits& limits, WrittenSheets& written, std::string& error);

}  // namespace view
}  // namespace zoneloads
