// The spreadsheet workbook of zoneloads-view (doc/formats.md, "Workbook"):
// the summary with dates and the non-coincident peaks, the monthly energy,
// the hourly loads of every zone block and of the building, the load
// duration curves and native charts. Written with libxlsxwriter in its
// constant-memory mode: the hourly values wait in a file, not in memory.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "reportfile/report_reader.h"
#include "view/figures/comparison.h"
#include "view/figures/peak_day.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// One report, as the workbook takes it.
struct WorkbookReport {
    std::string name;               // as given
    std::vector<SummaryRow> rows;   // its zone blocks' rows, then its building's
    std::vector<PeakDay> peakDays;  // per row, the days of its QsREF and its QsCAL peak
    SectionHours building;          // the totals section's hours
    long long firstBlock = 0;       // where its first zone block's hours stand in the hours file, in blocks
};

// Where the hours of every zone block wait: one block of kHoursPerYear
// doubles (Qs, as the report writes it) after another, in report order.
struct HoursFile {
    OutputFile scratch;    // a scratch file; not open when no workbook is asked for
    long long blocks = 0;  // blocks written so far
};

// Appends a zone block's hours; false when the write fails (the failure is
// kept in the scratch file).
bool appendHours(HoursFile& hours, const std::vector<double>& qs);

struct WorkbookLimits {
    // Zone-block columns of an hourly sheet, beside its date: a spreadsheet
    // holds 16,384 columns; further blocks continue on further sheets.
    std::size_t zoneColumnsPerSheet = 16384 - 5;
};

// Writes the workbook to `fileName` (UTF-8 on Windows, as libxlsxwriter
// takes it), making its scratch files in `scratchFolder`. Returns false,
// with what went wrong in `error`, when it cannot.
// `differences` are the rows of the table of differences of the variants
// with their base, none when no comparison was asked for.
bool writeWorkbook(const std::string& fileName, const std::string& scratchFolder,
                   const std::vector<WorkbookReport>& reports, const std::vector<DifferenceRow>& differences,
                   HoursFile& hours, const WorkbookLimits& limits, std::string& error);

// The names of the sheets the workbook gets for the reports, in order; a
// report's hourly sheets are "Horas NAME", "Horas NAME (2)" ...
std::vector<std::string> workbookSheetNames(const std::vector<WorkbookReport>& reports, const WorkbookLimits& limits,
                                            bool compared = false);

}  // namespace view
}  // namespace zoneloads
