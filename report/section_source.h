// The sections of one input of the viewer, whatever it is: the text of a
// report, or, for a zone results file, the report of all its zones, which
// is never written. The two are told apart by their content, here alone,
// whatever the file's name, and read through one entry point, readSection;
// their hours are then read by readSectionHours (reportfile/section_hours.h)
// on any thread.
#pragma once

#include <memory>
#include <string>

#include "common/file_name.h"
#include "report/hourly_totals.h"
#include "reportfile/report_reader.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// The report of all zones of a zone results file, section by section, as a
// reader of that report would read it: each zone block, in zone order, with
// its name, its block number and the values the report prints for it
// (Section::values), and its zone number, which the report does not hold;
// then the totals section, summed as the report sums them.
struct ZoneFileSections {
    ZoneFile zones;
    int32 next = 0;  // the zone of the next section
    bool totalsGiven = false;
    std::unique_ptr<HourlyTotals> totals;
};

// One input being read: a report, or a zone results file.
struct SectionSource {
    std::string fileName;  // as named in messages
    bool zoneFile = false;
    ReportReader report;
    ZoneFileSections zones;
};

// Opens the input: a file that starts as a report does is read as one, with
// every message of a report; else a usable zone results file is read as the
// report of all its zones. False, with one line naming the file in `error`,
// when it cannot be opened, or is neither ("X: no es un informe de
// zoneloads (WHY) ni un fichero de resultados de zonas (WHY)").
bool openSectionSource(SectionSource& source, const FileName& file, std::string& error);

// Reads the input's next section into `section`: `section` for each zone
// block and then the totals, `end` after them, `error` (with a one-line
// message naming the file, and for a report the line) for a report that is
// cut or malformed, or a zone results file whose record cannot be read
// because it changed under the run.
ReadResult readSection(SectionSource& source, Section& section, std::string& error);

// Closes the input.
void closeSectionSource(SectionSource& source);

}  // namespace zoneloads
