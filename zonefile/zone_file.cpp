#include "zonefile/zone_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/platform.h"

namespace zoneloads {
namespace {

// The count as it stands in the first four bytes, read over a preset of -1:
// a short read replaces only the low-order bytes it holds, which keeps the
// result negative (the file is little-endian, as the memory it is read into).
int32 readCount(std::FILE* file) {
    unsigned char bytes[4];
    std::size_t got = readAt(file, 0, bytes, sizeof bytes);
    std::uint32_t count = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < got; ++i) {
        count = (count & ~(0xFFu << (8 * i))) | (std::uint32_t{bytes[i]} << (8 * i));
    }
    int32 result;
    std::memcpy(&result, &count, sizeof result);
    return result;
}

// The size of the open file, from its end; -1 when it cannot be told (a
// pipe).
long long sizeOf(std::FILE* file) {
    long long size = seekTo(file, 0, SEEK_END) ? positionOf(file) : -1;
    return seekTo(file, 0) ? size : -1;
}

// The check of an open file: its size first, so that a pipe is refused
// before anything is read from it, which could wait.
ZoneFileCheck checkOpenFile(std::FILE* file) {
    ZoneFileCheck check;
    check.size = sizeOf(file);
    if (check.size < 0) {
        check.fault = ZoneFileFault::sizeUnknown;
        return check;
    }
    check.count = readCount(file);
    if (check.size < kCountBytes) {
        check.fault = ZoneFileFault::noCountBytes;
    } else if (check.count < 0) {
        check.fault = ZoneFileFault::negativeCount;
    } else if (check.size < zoneFileBytes(check.count)) {
        // So many zones would take terabytes: such a short file is no zone
        // results file cut short but another file (a text, a picture).
        check.fault = check.count >= kImplausibleZones ? ZoneFileFault::notAZoneFile : ZoneFileFault::recordsMissing;
    }
    return check;
}

// Reads `bytes` bytes at `offset` of zone `zone`'s record, the count taken
// afresh; false, with nothing read, for a zone that has no record.
bool readRecordPart(const ZoneFile& zones, int32 zone, std::int64_t offset, void* into, std::size_t bytes) {
    if (!zones.file || !namesOpenFile(zones.path, zones.file)) return false;
    if (zone < 0 || zone >= readCount(zones.file)) return false;
    return readAt(zones.file, kCountBytes + zone * kZoneRecordBytes + offset, into, bytes) == bytes;
}

}  // namespace

std::int64_t zoneFileBytes(int32 count) { return kCountBytes + count * kZoneRecordBytes; }

ZoneFile::ZoneFile(ZoneFile&& other) noexcept
    : file(std::exchange(other.file, nullptr)), path(std::move(other.path)), count(other.count) {}

ZoneFile& ZoneFile::operator=(ZoneFile&& other) noexcept {
    if (this != &other) {
        closeZoneFile(*this);
        file = std::exchange(other.file, nullptr);
        path = std::move(other.path);
        count = other.count;
    }
    return *this;
}

ZoneFile::~ZoneFile() { closeZoneFile(*this); }

ZoneFileCheck openZoneFile(const std::filesystem::path& path, ZoneFile& zones) {
    closeZoneFile(zones);
    std::FILE* file = openForReading(path);
    if (!file) {
        ZoneFileCheck check;
        check.fault = ZoneFileFault::cannotOpen;
        check.error = errno;
        return check;
    }
    return useZoneFile(file, path, zones);
}

ZoneFileCheck useZoneFile(std::FILE* file, const std::filesystem::path& path, ZoneFile& zones) {
    closeZoneFile(zones);
    ZoneFileCheck check = checkOpenFile(file);
    if (check.fault != ZoneFileFault::none) {
        std::fclose(file);
        return check;
    }
    zones.file = file;
    zones.path = path;
    zones.count = check.count;
    return check;
}

// A file replaced since it was opened is opened again by its name, as a
// program that opens the file for each read would find it.
ZoneFileCheck checkZoneFileAgain(ZoneFile& zones) {
    if (!zones.file || !namesOpenFile(zones.path, zones.file)) {
        std::filesystem::path path = zones.path;
        return openZoneFile(path, zones);
    }
    ZoneFileCheck check = checkOpenFile(zones.file);
    if (check.fault == ZoneFileFault::none) zones.count = check.count;
    return check;
}

void closeZoneFile(ZoneFile& zones) {
    if (zones.file) std::fclose(zones.file);
    zones.file = nullptr;
    zones.path.clear();
    zones.count = 0;
}

std::string zoneFileMessage(const ZoneFileCheck& check, const std::string& fileName) {
    bool incomplete = check.fault == ZoneFileFault::recordsMissing || check.fault == ZoneFileFault::notAZoneFile;
    return (incomplete ? "# Error fichero entrada incompleto " : "# Error al abrir fichero entrada ") + fileName;
}

std::string zoneFileFaultWords(const ZoneFileCheck& check) {
    switch (check.fault) {
        case ZoneFileFault::none: return "";
        case ZoneFileFault::cannotOpen: return "no se puede abrir (" + errorReason(check.error) + ")";
        case ZoneFileFault::sizeUnknown: return "no se puede saber su tama\u00f1o";
        case ZoneFileFault::noCountBytes:
            return "tiene " + std::to_string(check.size) + " bytes, menos que los " + std::to_string(kCountBytes) +
                   " del n\u00famero de zonas";
        case ZoneFileFault::negativeCount:
            return "el n\u00famero de zonas es negativo (" + std::to_string(check.count) + ")";
        case ZoneFileFault::notAZoneFile: return "no empieza con un n\u00famero de zonas";
        case ZoneFileFault::recordsMissing:
            return "dice tener " + std::to_string(check.count) + (check.count == 1 ? " zona" : " zonas") +
                   " y solo alcanza para " + std::to_string((check.size - kCountBytes) / kZoneRecordBytes);
    }
    return "";
}

std::string readFailedMessage(const std::string& fileName) { return "# Error al leer fichero entrada " + fileName; }

bool readZone(const ZoneFile& zones, int32 zone, ZoneRecord& record) {
    return readRecordPart(zones, zone, 0, &record, sizeof record);
}

bool readZoneName(const ZoneFile& zones, int32 zone, char (&name)[kNameBytes]) {
    return readRecordPart(zones, zone, 0, name, kNameBytes);
}

bool readZoneSeries(const ZoneFile& zones, int32 zone, char (&name)[kNameBytes], float32* series) {
    const std::size_t seriesBytes = kViewedSeries * sizeof(ZoneRecord::Qs);
    return readZoneName(zones, zone, name) &&
           readRecordPart(zones, zone, static_cast<std::int64_t>(offsetof(ZoneRecord, Qs)), series, seriesBytes);
}

std::size_t nameLength(const char (&name)[kNameBytes]) {
    const void* nul = std::memchr(name, '\0', kNameBytes);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - name) : kNameBytes;
}

std::string zoneName(const char (&name)[kNameBytes]) { return std::string(name, nameLength(name)); }

}  // namespace zoneloads
