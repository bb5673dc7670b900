// What the viewer keeps of each report once it is read, for every output
// to take: its rows, its peak days and its building's hours, and the Qs of
// its zone blocks, which wait in a scratch file rather than in memory. The
// page, the tables and the workbook read these.
#pragma once

#include <string>
#include <vector>

#include "common/output_file.h"
#include "reportfile/section_hours.h"
#include "view/figures/peak_day.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// One report's figures: its rows and what the outputs draw beside them.
struct ReportFigures {
    std::string name;               // as given
    std::vector<SummaryRow> rows;   // its zone blocks' rows, then its building's
    std::vector<PeakDay> peakDays;  // per row, the days of its QsREF and its QsCAL peak
    SectionHours building;          // the totals section's hours
    long long firstBlock = 0;       // where its first zone block's Qs stands in the ZoneQsFile, in blocks
};

// Where the Qs of every zone block of every report waits: one block of
// kHoursPerYear doubles (Qs, as the report writes it) after another, in
// report order.
struct ZoneQsFile {
    OutputFile scratch;    // a scratch file; not open when no workbook is asked for
    long long blocks = 0;  // blocks written so far
};

// Appends a zone block's Qs; false when the write fails (the failure is
// kept in the scratch file).
bool appendZoneQs(ZoneQsFile& file, const std::vector<double>& qs);

}  // namespace view
}  // namespace zoneloads
