#include "report/zone_file_sections.h"

#include <algorithm>
#include <iterator>

#include "common/text_encoding.h"

namespace zoneloads {

namespace {

// Starts reading the sections of the zone results file `zones`.
void startSections(ZoneFileSections& sections, const OpenZoneFile& zones, const std::string& fileName) {
    sections.zones = zones;
    sections.fileName = fileName;
    sections.totals = std::make_unique<HourlyTotals>();
    sections.totals->clear();
}

}  // namespace

bool openZoneFileSections(ZoneFileSections& sections, const FileName& file, std::string& why) {
    closeZoneFileSections(sections);
    sections = ZoneFileSections{};
    OpenZoneFile zones;
    if (!openZoneFile(file.path, zones, why)) return false;
    startSections(sections, zones, file.text);
    return true;
}

bool useZoneFileSections(ZoneFileSections& sections, std::FILE* file, const std::string& fileName, std::string& why) {
    closeZoneFileSections(sections);
    sections = ZoneFileSections{};
    OpenZoneFile zones;
    if (!useZoneFile(file, zones, why)) return false;
    startSections(sections, zones, fileName);
    return true;
}

namespace {

// The totals section: the four sums of every hour, as the report prints them.
void totalsSection(const HourlyTotals& totals, Section& section) {
    section.totals = true;
    section.block = 0;
    section.values.resize(kTotalsFields * kHoursPerYear);
    auto series = [&section](int k) { return section.values.begin() + k * kHoursPerYear; };
    std::copy(std::begin(totals.sumQs), std::end(totals.sumQs), series(kSumQs));
    std::copy(std::begin(totals.sumQL), std::end(totals.sumQL), series(kSumQL));
    std::copy(std::begin(totals.sumQsNeg), std::end(totals.sumQsNeg), series(kSumQsNeg));
    std::copy(std::begin(totals.sumQsPos), std::end(totals.sumQsPos), series(kSumQsPos));
}

}  // namespace

// A zone's loads are added into the totals as it is read, in zone order, as
// the report adds each block it writes: the sums are the report's, bit for
// bit.
ReadResult readZoneFileSection(ZoneFileSections& sections, Section& section, std::string& error) {
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
    if (!readZoneLoads(sections.zones, zone, name, values)) {
        error = displayFileName(sections.fileName) + ": error al leer la zona " + std::to_string(zone) +
                " (el fichero ha cambiado o no se puede leer)";
        return ReadResult::error;
    }
    section.totals = false;
    section.block = zone + 1;
    section.name = zoneName(name);
    sections.totals->addZone(values + kQs * kHoursPerYear, values + kQL * kHoursPerYear);
    return ReadResult::section;
}

void closeZoneFileSections(ZoneFileSections& sections) { closeZoneFile(sections.zones); }

}  // namespace zoneloads
