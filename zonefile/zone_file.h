// The zone results file, whose layout doc/formats.md gives: a 4-byte zone
// count, then one fixed-size ZoneRecord per zone. The tool only reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/calendar.h"
#include "common/file_name.h"
#include "common/types.h"

namespace zoneloads {

constexpr int kNameBytes = 52;
constexpr int kSpaceSlots = 100;
constexpr int kSpaceNameBytes = 50;

// One zone's record, laid out in memory exactly as in the file so that it is
// read as one block. Texts end at their first NUL byte, if they hold one.
struct ZoneRecord {
    char name[kNameBytes];
    float32 zoneValueA;  // carried, not interpreted
    float32 zoneValueB;  // carried, not interpreted
    unsigned char reserved1[4];
    float32 p[2];   // weights p(0), p(1)
    float32 g[24];  // weights g(0) .. g(23)
    unsigned char reserved2[4];
    float32 zoneValueC;  // carried, not interpreted
    float32 spaceValues[kSpaceSlots];
    char spaceNames[kSpaceSlots][kSpaceNameBytes];
    int32 daRef[kHoursPerYear];
    int32 daCal[kHoursPerYear];
    float32 Qs[kHoursPerYear];        // sensible load [W]
    float32 QL[kHoursPerYear];        // latent load [W]
    float32 Treal[kHoursPerYear];     // [C]
    float32 Tmax[kHoursPerYear];      // [C]
    float32 Tmin[kHoursPerYear];      // [C]
    float32 VventInf[kHoursPerYear];  // ventilation and infiltration [kg/s]
};

constexpr std::int64_t kZoneRecordBytes = 285896;
constexpr std::int64_t kCountBytes = 4;
// A zone count no building has: its file would take 4.8 TB. A file that
// counts as many and is shorter is said to be no zone results file.
constexpr int32 kImplausibleZones = 1 << 24;

static_assert(sizeof(ZoneRecord) == kZoneRecordBytes, "ZoneRecord must match the file layout");
static_assert(offsetof(ZoneRecord, zoneValueA) == 52, "layout");
static_assert(offsetof(ZoneRecord, zoneValueB) == 56, "layout");
static_assert(offsetof(ZoneRecord, reserved1) == 60, "layout");
static_assert(offsetof(ZoneRecord, p) == 64, "layout");
static_assert(offsetof(ZoneRecord, g) == 72, "layout");
static_assert(offsetof(ZoneRecord, reserved2) == 168, "layout");
static_assert(offsetof(ZoneRecord, zoneValueC) == 172, "layout");
static_assert(offsetof(ZoneRecord, spaceValues) == 176, "layout");
static_assert(offsetof(ZoneRecord, spaceNames) == 576, "layout");
static_assert(offsetof(ZoneRecord, daRef) == 5576, "layout");
static_assert(offsetof(ZoneRecord, daCal) == 40616, "layout");
static_assert(offsetof(ZoneRecord, Qs) == 75656, "layout");
static_assert(offsetof(ZoneRecord, QL) == 110696, "layout");
static_assert(offsetof(ZoneRecord, Treal) == 145736, "layout");
static_assert(offsetof(ZoneRecord, Tmax) == 180776, "layout");
static_assert(offsetof(ZoneRecord, Tmin) == 215816, "layout");
static_assert(offsetof(ZoneRecord, VventInf) == 250856, "layout");

// The real hourly series of a zone, named once for the whole tool (the
// report's reader and writer, the report of a zone results file, the viewer),
// in the order they lie in the record; an hourly line of the report gives
// them in another order (reportfile/report_format.h).
enum Series { kQs, kQL, kTreal, kTmax, kTmin, kVventInf };
constexpr int kRealSeries = 6;
// Their names, as the report's legend and messages give them.
constexpr const char* kSeriesNames[kRealSeries] = {"Qs", "QL", "Treal", "Tmax", "Tmin", "VventInf"};
// The series the viewer takes of a zone: the first five, which lie one
// after another in the record.
constexpr int kViewedSeries = 5;
static_assert(offsetof(ZoneRecord, Tmin) - offsetof(ZoneRecord, Qs) == (kViewedSeries - 1) * sizeof(ZoneRecord::Qs),
              "the viewed series lie one after another");
static_assert(offsetof(ZoneRecord, VventInf) - offsetof(ZoneRecord, Qs) == kVventInf * sizeof(ZoneRecord::Qs),
              "the real series lie in the order of Series");

// The bytes a zone results file of `count` zones (0 or more) holds at least.
std::int64_t zoneFileBytes(int32 count);

// Checks that the zone results file can be used: true, with its stored zone
// count in `count`, when the count is not negative and the file holds every
// record it promises (bytes after the last record are never read). Otherwise
// false, with the console message that says why in `error`. `count` is the
// count as read even then: a file of fewer than 4 bytes gives -1 with its
// low-order bytes replaced by the file's, so it stays negative.
bool checkZoneFile(const FileName& file, int32& count, std::string& error);

// Fills `record` with the record of zone `zone`, reading it with one
// positioned read. Returns true when a whole record was read. When the zone
// number is negative or not below the stored count, or the file cannot be
// opened, nothing is read and `record` is left exactly as it was.
bool readZone(const std::filesystem::path& file, int32 zone, ZoneRecord& record);

// The message for a zone results file whose records could not be read
// although it passed checkZoneFile (it changed under the run).
std::string readFailedMessage(const std::string& fileName);

// A zone results file held open to read its zones one after another with
// one handle (the viewer reads every zone of a file).
struct OpenZoneFile {
    std::FILE* file = nullptr;
    int32 count = 0;
};

// Opens the zone results file and checks it as checkZoneFile does (a count
// of 0 or more and every record there), by the size of the file it opened.
// False, with why not in words for a message in `why` ("el numero de zonas
// es negativo (-5)"), when it cannot be opened or used; then nothing is left
// open.
bool openZoneFile(const std::filesystem::path& path, OpenZoneFile& zones, std::string& why);

// As openZoneFile, for a file already open for reading (at any position),
// which it takes: the caller neither reads nor closes it after. A file whose
// size cannot be told (a pipe) is refused at once, never waited on.
bool useZoneFile(std::FILE* file, OpenZoneFile& zones, std::string& why);

// Reads zone `zone`'s name and its kViewedSeries series (kViewedSeries *
// kHoursPerYear values, in record order) into `series`, with two positioned
// reads; false when either is cut short (the file changed under the run).
bool readZoneLoads(const OpenZoneFile& zones, int32 zone, char (&name)[kNameBytes], float32* series);

// Closes the file.
void closeZoneFile(OpenZoneFile& zones);

// Reads only the name field of zone `zone` into `name`, as readZone would.
bool readZoneName(const std::filesystem::path& file, int32 zone, char (&name)[kNameBytes]);

// The length of a name field up to its first NUL byte, never more than its
// 52 bytes.
std::size_t nameLength(const char (&name)[kNameBytes]);
// The name itself, those bytes.
std::string zoneName(const char (&name)[kNameBytes]);

}  // namespace zoneloads
