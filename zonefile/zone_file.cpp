#include "zonefile/zone_file.h"

#include <cstring>
#include <fstream>

namespace zoneloads {
namespace {

// The count as it stands in the first four bytes, read over a preset of -1:
// a short read replaces only the low-order bytes it holds, which keeps the
// result negative (the file is little-endian, as the memory it is read into).
int32 readCount(std::ifstream& file) {
    unsigned char bytes[4];
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    std::uint32_t count = 0xFFFFFFFFu;
    for (std::streamsize i = 0; i < file.gcount(); ++i) {
        count = (count & ~(0xFFu << (8 * i))) | (std::uint32_t{bytes[i]} << (8 * i));
    }
    int32 result;
    std::memcpy(&result, &count, sizeof result);
    return result;
}

// Opens the file, reads its count and, for a zone in range, moves to the
// zone's record. Returns false when the zone has no record to read.
bool seekZone(std::ifstream& file, const std::string& fileName, int32 zone) {
    file.open(fileName, std::ios::binary);
    if (!file) return false;
    int32 count = readCount(file);
    if (zone < 0 || zone >= count) return false;
    file.seekg(kCountBytes + zone * kZoneRecordBytes);
    return static_cast<bool>(file);
}

}  // namespace

bool checkZoneFile(const std::string& fileName, int32& count, std::string& error) {
    std::ifstream file(fileName, std::ios::binary);
    count = file ? readCount(file) : -1;
    file.clear();
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    if (count < 0 || size < 0) {
        error = "# Error al abrir fichero entrada " + fileName;
        return false;
    }
    if (size < kCountBytes + count * kZoneRecordBytes) {
        error = "# Error fichero entrada incompleto " + fileName;
        return false;
    }
    return true;
}

bool readZone(const std::string& fileName, int32 zone, ZoneRecord& record) {
    std::ifstream file;
    if (!seekZone(file, fileName, zone)) return false;
    file.read(reinterpret_cast<char*>(&record), sizeof record);
    return file.gcount() == static_cast<std::streamsize>(sizeof record);
}

std::string readFailedMessage(const std::string& fileName) {
    return "# Error al leer fichero entrada " + fileName;
}

bool readZoneName(const std::string& fileName, int32 zone, char (&name)[kNameBytes]) {
    std::ifstream file;
    if (!seekZone(file, fileName, zone)) return false;
    file.read(name, kNameBytes);
    return file.gcount() == kNameBytes;
}

std::size_t nameLength(const char (&name)[kNameBytes]) {
    const void* nul = std::memchr(name, '\0', kNameBytes);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - name) : kNameBytes;
}

std::string zoneName(const char (&name)[kNameBytes]) {
    return std::string(name, nameLength(name));
}

}  // namespace zoneloads
