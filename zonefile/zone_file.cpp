#include "zonefile/zone_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/platform.h"

namespace zoneloads {
namespace {

// The count as it stands in the first four bytes, read over a preset of -1:
// a short read replaces only the low-order bytes it holds, which keeps the
// result negative (the file is little-endian, as the memory it is read into).
int32 readCount(std::FILE* file) {
    unsigned char bytes[4];
    std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::uint32_t count = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < got; ++i) {
        count = (count & ~(0xFFu << (8 * i))) | (std::uint32_t{bytes[i]} << (8 * i));
    }
    int32 result;
    std::memcpy(&result, &count, sizeof result);
    return result;
}

// The open zone results file, closed when it goes.
struct OpenFile {
    std::FILE* file;
    explicit OpenFile(const std::filesystem::path& path) : file(openForReading(path)) {}
    ~OpenFile() {
        if (file) std::fclose(file);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
};

// Reads the file's count and, for a zone in range, moves to the zone's
// record. Returns false when the zone has no record to read.
bool seekZone(std::FILE* file, int32 zone) {
    if (!file) return false;
    int32 count = readCount(file);
    if (zone < 0 || zone >= count) return false;
    return seekTo(file, kCountBytes + zone * kZoneRecordBytes);
}

// The size of the open file, from its end; -1 when it cannot be told (a
// pipe).
long long sizeOf(std::FILE* file) {
    long long size = seekTo(file, 0, SEEK_END) ? positionOf(file) : -1;
    return seekTo(file, 0) ? size : -1;
}

// Why a file of `size` bytes whose count reads `count` is no usable zone
// results file; empty when it is one.
std::string unusableBecause(int32 count, long long size) {
    if (size < kCountBytes) {
        return "tiene " + std::to_string(size) + " bytes, menos que los " + std::to_string(kCountBytes) +
               " del n\u00famero de zonas";
    }
    if (count < 0) return "el n\u00famero de zonas es negativo (" + std::to_string(count) + ")";
    // So many zones would take terabytes: such a short file is no zone
    // results file cut short but another file (a text, a picture).
    if (size < zoneFileBytes(count) && count >= kImplausibleZones) return "no empieza con un n\u00famero de zonas";
    if (size < zoneFileBytes(count)) {
        return "dice tener " + std::to_string(count) + (count == 1 ? " zona" : " zonas") + " y solo alcanza para " +
               std::to_string((size - kCountBytes) / kZoneRecordBytes);
    }
    return "";
}

}  // namespace

std::int64_t zoneFileBytes(int32 count) { return kCountBytes + count * kZoneRecordBytes; }

bool checkZoneFile(const FileName& file, int32& count, std::string& error) {
    OpenFile in(file.path);
    count = in.file ? readCount(in.file) : -1;
    std::error_code sizeError;
    auto size = static_cast<long long>(std::filesystem::file_size(file.path, sizeError));
    if (count < 0 || sizeError) {
        error = "# Error al abrir fichero entrada " + file.text;
        return false;
    }
    if (size < zoneFileBytes(count)) {
        error = "# Error fichero entrada incompleto " + file.text;
        return false;
    }
    return true;
}

bool readZone(const std::filesystem::path& file, int32 zone, ZoneRecord& record) {
    OpenFile in(file);
    if (!seekZone(in.file, zone)) return false;
    return std::fread(&record, 1, sizeof record, in.file) == sizeof record;
}

bool openZoneFile(const std::filesystem::path& path, OpenZoneFile& zones, std::string& why) {
    zones = OpenZoneFile{};
    std::FILE* file = openForReading(path);
    if (!file) {
        why = "no se puede abrir (" + errorReason(errno) + ")";
        return false;
    }
    return useZoneFile(file, zones, why);
}

bool useZoneFile(std::FILE* file, OpenZoneFile& zones, std::string& why) {
    zones = OpenZoneFile{};
    // A pipe is refused before anything more is read from it, which could wait.
    long long size = sizeOf(file);
    int32 count = size < 0 ? -1 : readCount(file);
    why = size < 0 ? "no se puede saber su tama\u00f1o" : unusableBecause(count, size);
    if (!why.empty()) {
        std::fclose(file);
        return false;
    }
    zones = {file, count};
    return true;
}

bool readZoneLoads(const OpenZoneFile& zones, int32 zone, char (&name)[kNameBytes], float32* series) {
    const std::int64_t record = kCountBytes + zone * kZoneRecordBytes;
    const std::size_t seriesBytes = kViewedSeries * sizeof(ZoneRecord::Qs);
    return zone >= 0 && zone < zones.count && seekTo(zones.file, record) &&
           std::fread(name, 1, kNameBytes, zones.file) == kNameBytes &&
           seekTo(zones.file, record + static_cast<std::int64_t>(offsetof(ZoneRecord, Qs))) &&
           std::fread(series, 1, seriesBytes, zones.file) == seriesBytes;
}

void closeZoneFile(OpenZoneFile& zones) {
    if (zones.file) std::fclose(zones.file);
    zones.file = nullptr;
}

std::string readFailedMessage(const std::string& fileName) { return "# Error al leer fichero entrada " + fileName; }

bool readZoneName(const std::filesystem::path& file, int32 zone, char (&name)[kNameBytes]) {
    OpenFile in(file);
    if (!seekZone(in.file, zone)) return false;
    return std::fread(name, 1, kNameBytes, in.file) == kNameBytes;
}

std::size_t nameLength(const char (&name)[kNameBytes]) {
    const void* nul = std::memchr(name, '\0', kNameBytes);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - name) : kNameBytes;
}

std::string zoneName(const char (&name)[kNameBytes]) { return std::string(name, nameLength(name)); }

}  // namespace zoneloads
