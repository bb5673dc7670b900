#include "report/section_source.h"

#include <algorithm>
#include <iterator>

#include "common/text_encoding.h"

namespace zoneloads {
namespace {

// The totals section: the four sums of every hour, as the report prints them.
void totalsSection(const HourlyTotals& totals, Section& section) {
    section.totals = true;
    section.block = 0;
    section.zone = -1;
    section.values.resize(kTotalsFields * kHoursPerYear);
    auto series = [&section](int k) { return section.values.begin() + k * kHoursPerYear; };
    std::copy(std::begin(totals.sumQs), std::end(totals.sumQs), series(kSumQs));
    std::copy(std::begin(totals.sumQL), std::end(totals.sumQL), series(kSumQL));
    std::copy(std::begin(totals.sumQsNeg), std::end(totals.sumQsNeg), series(kSumQsNeg));
    std::copy(std::begin(totals.sumQsPos), std::end(totals.sumQsPos), series(kSumQsPos));
}

// The next section of a zone results file. A zone's loads are added into
// the totals as it is read, in zone order, as the report adds each block it
// writes: the sums are the report's, bit for bit.
ReadResult readZoneFileSection(ZoneFileSections& sections, const std::string& fileName, Section& section,
                               std::string& error) {
    section.name.clear();
    section.text.clear();
    section.firstLine = 0;
    if (sections.totalsGiven) return ReadResult::end;
    if (sections.next == sections.zones.count) {
        totalsSection(*sections.totals, section);
        sections.totalsGiven = true;
        return ReadResult::section;
    }
    const int32 zone = sections.next++;
    char name[kNameBytes];
    section.values.resize(kViewedSeries * kHoursPerYear);
    float32* values = section.values.data();
    if (!readZoneSeries(sections.zones, zone, name, values)) {
        error = displayFileName(fileName) + ": error al leer la zona " + std::to_string(zone) +
                " (el fichero ha cambiado o no se puede leer)";
        return ReadResult::error;
    }
    section.totals = false;
    section.block = zone + 1;
    section.zone = zone;
    section.name = zoneName(name);
    sections.totals->addZone(values + kQs * kHoursPerYear, values + kQL * kHoursPerYear);
    return ReadResult::section;
}

}  // namespace

// A report's first line settles it: no zone results file starts with one (its
// first four bytes would count far more zones than any file holds). A file
// that fails to be read is left to the report's reader to say so.
bool openSectionSource(SectionSource& source, const FileName& file, std::string& error) {
    closeSectionSource(source);
    source.fileName = file.text;
    source.zoneFile = false;
    if (!openReportFile(source.report, file, error)) return false;
    std::string notReport;
    if (startsAsReport(source.report, notReport) || source.report.readError) return true;
    // The file opened once is read as a zone results file: opened again, a
    // pipe would wait for a writer, and a name may meanwhile name another file.
    ZoneFileCheck check = useZoneFile(takeReportFile(source.report), file.path, source.zones.zones);
    if (check.fault == ZoneFileFault::none) {
        source.zoneFile = true;
        source.zones.next = 0;
        source.zones.totalsGiven = false;
        source.zones.totals = std::make_unique<HourlyTotals>();
        source.zones.totals->clear();
        return true;
    }
    error = displayFileName(file.text) + ": no es un informe de zoneloads (" + notReport +
            ") ni un fichero de resultados de zonas (" + zoneFileFaultWords(check) + ")";
    return false;
}

ReadResult readSection(SectionSource& source, Section& section, std::string& error) {
    return source.zoneFile ? readZoneFileSection(source.zones, source.fileName, section, error)
                           : readReportSection(source.report, section, error);
}

void closeSectionSource(SectionSource& source) {
    closeReportFile(source.report);
    closeZoneFile(source.zones.zones);
}

}  // namespace zoneloads
