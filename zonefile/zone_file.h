// The zone results file, whose layout doc/formats.md gives: a 4-byte zone
// count, then one fixed-size ZoneRecord per zone. The tool only reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/calendar.h"
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

// What the check of a zone results file found: whether it can be used, and
// when not, why.
enum class ZoneFileFault {
    none,
    cannotOpen,      // the system's reason in ZoneFileCheck::error
    sizeUnknown,     // a pipe: its size cannot be told, so it is not waited on
    noCountBytes,    // fewer than the 4 bytes of the zone count
    negativeCount,   // the count stored is below 0
    notAZoneFile,    // it counts 2^24 zones or more and is far shorter: another kind of file
    recordsMissing,  // fewer records than its count promises
};

// The check's verdict, with what it read.
struct ZoneFileCheck {
    ZoneFileFault fault = ZoneFileFault::none;
    int32 count = -1;    // the count as stored: a file of fewer than 4 bytes gives -1 with its low-order bytes
    long long size = 0;  // the file's bytes
    int error = 0;       // errno, for cannotOpen
};

// A zone results file open for the run: opened and checked once by each
// program, then read zone by zone with positioned reads, from any thread.
// While its name leads to it, changes to the file are seen as they happen;
// once the name leads to another file (the file was replaced), reading
// fails, and a check again opens the file the name now leads to. It closes
// its file when it goes.
struct ZoneFile {
    std::FILE* file = nullptr;
    std::filesystem::path path;  // the name it was opened by
    int32 count = 0;             // the zones it held when last checked

    ZoneFile() = default;
    ZoneFile(ZoneFile&& other) noexcept;
    ZoneFile& operator=(ZoneFile&& other) noexcept;
    ZoneFile(const ZoneFile&) = delete;
    ZoneFile& operator=(const ZoneFile&) = delete;
    ~ZoneFile();
};

// Opens the zone results file and checks it: usable when its count is 0 or
// more and it holds every record the count promises (bytes after the last
// record are never read). When it is not, nothing is left open.
ZoneFileCheck openZoneFile(const std::filesystem::path& path, ZoneFile& zones);

// As openZoneFile, for a file already open for reading (at any position)
// by the name `path`, which it takes: the caller neither reads nor closes it
// after. A file whose size cannot be told (a pipe) is refused at once, never
// waited on.
ZoneFileCheck useZoneFile(std::FILE* file, const std::filesystem::path& path, ZoneFile& zones);

// Checks the file again as it stands now, its count taken afresh: the open
// file while its name still leads to it, else the file the name now leads
// to, opened in its place (then, when that cannot be used, nothing is left
// open).
ZoneFileCheck checkZoneFileAgain(ZoneFile& zones);

// Closes the file.
void closeZoneFile(ZoneFile& zones);

// The console message of zoneloads for a file that cannot be used:
// "# Error al abrir fichero entrada NAME" for a file that cannot be opened
// or holds no count of 0 or more, "# Error fichero entrada incompleto NAME"
// for one that holds fewer records than it counts.
std::string zoneFileMessage(const ZoneFileCheck& check, const std::string& fileName);

// Why a file is no usable zone results file, in words for the viewer's
// messages ("el n\u00famero de zonas es negativo (-5)").
std::string zoneFileFaultWords(const ZoneFileCheck& check);

// The message of zoneloads for a zone results file whose records could not
// be read although it passed the check (it changed under the run).
std::string readFailedMessage(const std::string& fileName);

// Each read below takes the file's count afresh, as it stands, and reads
// nothing when the zone number is negative or not below it, or when the
// file's name leads to another file now: the buffer is then left exactly as
// it was. A read cut short (the file shrank under the run) is false.

// Fills `record` with the record of zone `zone`.
bool readZone(const ZoneFile& zones, int32 zone, ZoneRecord& record);

// Reads only the name field of zone `zone` into `name`.
bool readZoneName(const ZoneFile& zones, int32 zone, char (&name)[kNameBytes]);

// Reads zone `zone`'s name and its kViewedSeries series (kViewedSeries *
// kHoursPerYear values, in record order) into `series`.
bool readZoneSeries(const ZoneFile& zones, int32 zone, char (&name)[kNameBytes], float32* series);

// The length of a name field up to its first NUL byte, never more than its
// 52 bytes.
std::size_t nameLength(const char (&name)[kNameBytes]);
// The name itself, those bytes.
std::string zoneName(const char (&name)[kNameBytes]);

}  // namespace zoneloads
