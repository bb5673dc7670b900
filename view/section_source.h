// Where the sections of one of the viewer's inputs come from: the text of a
// report, or, for a zone results file, the report of all its zones, which
// is never written (report/zone_file_sections.h). The two are told apart by
// their content, here alone, whatever the file's name.
#pragma once

#include <string>

#include "common/file_name.h"
#include "report/zone_file_sections.h"
#include "reportfile/report_reader.h"

namespace zoneloads {
namespace view {

// One input being read: a report, or a zone results file.
struct SectionSource {
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

// Reads the input's next section, as readSection does a report's.
ReadResult readSourceSection(SectionSource& source, Section& section, std::string& error);

// Closes the input.
void closeSectionSource(SectionSource& source);

}  // namespace view
}  // namespace zoneloads
