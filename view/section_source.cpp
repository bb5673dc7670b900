#include "view/section_source.h"

#include "common/text_encoding.h"

namespace zoneloads {
namespace view {

// A report's first line settles it: no zone results file starts with one (its
// first four bytes would count far more zones than any file holds). A file
// that fails to be read is left to the report's reader to say so.
bool openSectionSource(SectionSource& source, const FileName& file, std::string& error) {
    source.zoneFile = false;
    if (!openReportFile(source.report, file, error)) return false;
    std::string notReport;
    if (startsAsReport(source.report, notReport) || source.report.readError) return true;
    // The file opened once is read as a zone results file: opened again, a
    // pipe would wait for a writer, and a name may meanwhile name another file.
    std::string notZones;
    if (useZoneFileSections(source.zones, takeReportFile(source.report), file.text, notZones)) {
        source.zoneFile = true;
        return true;
    }
    error = displayFileName(file.text) + ": no es un informe de zoneloads (" + notReport +
            ") ni un fichero de resultados de zonas (" + notZones + ")";
    return false;
}

ReadResult readSourceSection(SectionSource& source, Section& section, std::string& error) {
    return source.zoneFile ? readZoneFileSection(source.zones, section, error)
                           : readSection(source.report, section, error);
}

void closeSectionSource(SectionSource& source) {
    closeReportFile(source.report);
    closeZoneFileSections(source.zones);
}

}  // namespace view
}  // namespace zoneloads
