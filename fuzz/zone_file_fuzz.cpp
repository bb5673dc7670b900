// Fuzz target: arbitrary bytes as a zone results file, read by the viewer's
// reading of its inputs (report/section_source.h). The input is read as:
//   byte 0      bit 0 clear: the rest of the input is the file, as it stands;
//               bit 0 set: a file shaped from it, as follows
//   byte 1      zones (0 to 2); with bit 7 set, the next 4 bytes are the count
//               field as stored, whatever the zones
//   byte        a signed change of the file's size from that of its records
//               (cut short, or bytes after the last record)
//   the rest    the records' bytes, repeated to fill them
// Every file the reading accepts as a zone results file must give, section
// by section, the names, blocks and hours, bit for bit, that reading the
// report zoneloads writes of all its zones gives; every refusal is one line
// naming the file; the file is never changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "report/report.h"
#include "report/section_source.h"
#include "reportfile/report_reader.h"
#include "zonefile/zone_file.h"

namespace {

using namespace zoneloads;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// The zone results file an input stands for.
std::string fileOf(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return "";
    if (!(data[0] & 1)) return std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t at = 1;
    auto byte = [&] { return at < size ? data[at++] : std::uint8_t{0}; };
    std::uint8_t zonesByte = byte();
    std::uint32_t count = zonesByte % 3;
    if (zonesByte & 0x80) {
        count = 0;
        for (int i = 0; i < 4; ++i) count |= std::uint32_t{byte()} << (8 * i);
    }
    auto change = static_cast<std::int8_t>(byte());
    long long length = kCountBytes + (zonesByte % 3) * kZoneRecordBytes + change;
    std::string file(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
    for (std::size_t i = kCountBytes; i < file.size() && at < size; ++i) {
        file[i] = static_cast<char>(data[at + (i - kCountBytes) % (size - at)]);
    }
    for (std::size_t i = 0; i < 4 && i < file.size(); ++i) file[i] = static_cast<char>(count >> (8 * i));
    return file;
}

void writeFile(const char* name, const std::string& bytes) {
    std::FILE* out = std::fopen(name, "wb");
    check(out != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size());
    check(std::fclose(out) == 0);
}

std::string readFile(const char* name) {
    std::string bytes;
    std::FILE* in = std::fopen(name, "rb");
    check(in != nullptr);
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
    std::fclose(in);
    return bytes;
}

// What the reading gives of one section.
struct Read {
    bool totals;
    int block;
    std::string name;
    SectionHours hours;
};

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

bool same(const Read& a, const Read& b) {
    const SectionHours& x = a.hours;
    const SectionHours& y = b.hours;
    return a.totals == b.totals && a.block == b.block && a.name == b.name && sameBits(x.qs, y.qs) &&
           sameBits(x.ql, y.ql) && sameBits(x.treal, y.treal) && sameBits(x.tmax, y.tmax) && sameBits(x.tmin, y.tmin) &&
           sameBits(x.qsNeg, y.qsNeg) && sameBits(x.qsPos, y.qsPos);
}

// Reads an input through the viewer's reading; false, with the message, when
// it is refused.
bool readInput(const char* name, SectionSource& source, std::vector<Read>& read, std::string& error) {
    read.clear();
    if (!openSectionSource(source, name, error)) return false;
    Section section;
    ReadResult result;
    while ((result = readSection(source, section, error)) == ReadResult::section) {
        read.push_back({section.totals, section.block, section.name, {}});
        if (!readSectionHours(name, section, read.back().hours, error)) {
            result = ReadResult::error;
            break;
        }
    }
    closeSectionSource(source);
    return result == ReadResult::end;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    auto dir = std::filesystem::temp_directory_path() / "zoneloads-zone-file-fuzz";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fileOf(data, size);
    writeFile("z.bin", bytes);
    static SectionSource source;
    std::vector<Read> fromZones;
    std::string error;
    bool accepted = readInput("z.bin", source, fromZones, error);
    check(readFile("z.bin") == bytes);
    if (!accepted) {
        check(error.compare(0, 5, "z.bin") == 0);
        check(error.find('\n') == std::string::npos && error.find('\r') == std::string::npos);
        return 0;
    }
    if (!source.zoneFile) return 0;  // started as a report: the report reader's own target covers it

    ZoneSelection all{{}, ""};
    for (std::size_t z = 0; z + 1 < fromZones.size(); ++z) all.slots.push_back(static_cast<int32>(z));
    ZoneFile zones;
    check(openZoneFile("z.bin", zones).fault == ZoneFileFault::none);
    check(writeReport(zones, "z.bin", "r.txt", all, error, 0));
    std::vector<Read> fromReport;
    check(readInput("r.txt", source, fromReport, error));
    check(fromReport.size() == fromZones.size());
    for (std::size_t k = 0; k < fromZones.size(); ++k) check(same(fromZones[k], fromReport[k]));
    return 0;
}
