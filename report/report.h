// The report: one block per chosen zone (warnings, name, weights, legend,
// 8,760 hourly lines and the zone's extreme sensible loads), then the hourly
// totals over every block.
#pragma once

#include <string>

#include "dialogue/zone_selection.h"
#include "report/hourly_totals.h"
#include "report/report_output.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

enum class ReportResult {
    complete,
    cannotOpen,   // the report file could not be created: nothing written
    writeFailed,  // a write or the close failed: no report put in place
    readFailed,   // a zone could not be read: no report put in place
};

// Writes the report file (an existing one is replaced only by a complete
// report, see report_output.h): the zone blocks of the
// selection, up to its first negative slot, then the totals section.
// `buffer` receives each zone's record in turn.
ReportResult writeReport(const std::string& inputFileName, const std::string& reportFileName,
                         const ZoneSelection& selection, ZoneRecord& buffer);

// One zone block, adding each hour's loads into `totals`.
void writeZoneBlock(const ZoneRecord& zone, HourlyTotals& totals, ReportOutput& out);

}  // namespace zoneloads
