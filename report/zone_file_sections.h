// The report of all the zones of a zone results file, section by section,
// as a reader of that report would read it, without writing it: each zone
// block, in zone order, with its name, its block number and the values the
// report prints for it (Section::values), then the totals section, summed as
// the report sums them. The zone results file is only read.
#pragma once

#include <memory>
#include <string>

#include "common/file_name.h"
#include "report/hourly_totals.h"
#include "reportfile/report_reader.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// The zone results file being read and what its report has summed so far.
struct ZoneFileSections {
    OpenZoneFile zones;
    std::string fileName;  // as named in messages
    int32 next = 0;        // the zone of the next section
    bool totalsGiven = false;
    std::unique_ptr<HourlyTotals> totals;
};

// Opens a zone results file to read its sections; false, with why it is no
// usable zone results file in words for a message in `why` (see
// openZoneFile), when it cannot be.
bool openZoneFileSections(ZoneFileSections& sections, const FileName& file, std::string& why);

// As openZoneFileSections, for a file already open, which it takes (see
// useZoneFile); `fileName` names it in messages.
bool useZoneFileSections(ZoneFileSections& sections, std::FILE* file, const std::string& fileName, std::string& why);

// Reads the next section into `section`, as readSection does a report's:
// `section` for each zone and then the totals, `end` after them, `error`
// (with a one-line message naming the file) when a zone's record cannot be
// read because the file changed under the run.
ReadResult readZoneFileSection(ZoneFileSections& sections, Section& section, std::string& error);

// Closes the zone results file.
void closeZoneFileSections(ZoneFileSections& sections);

}  // namespace zoneloads
