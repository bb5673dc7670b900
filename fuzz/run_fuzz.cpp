// Fuzz target: a whole run of the dialogue on an arbitrary zone results file,
// zone-list file and console answers. The input is read as:
//   byte 0      zone count: 0 to 2, or (from 252 on) the next 4 bytes raw
//   bytes 1-2   how far the file's length strays from what the count needs
//               (signed, in bytes; cut records and trailing bytes)
//   byte 3      length of the console answers that follow "z.bin r.txt "
//               (from 200 on: the answers stand alone, file names included)
//   ...         the answers, then one byte of zone-list length and the
//               zone-list file, then the bytes that fill the records
// The run must end with status 0 or -1, and status 0 must come with a whole
// report: 8,761 totals lines at its end, every line ended in CR LF.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "dialogue/console.h"
#include "dialogue/dialogue.h"
#include "fuzz/fuzz_target.h"
#include "zonefile/zone_file.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    std::string bytes(std::size_t n) {
        n = std::min(n, size - at);
        std::string s(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return s;
    }
};

void writeFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The zone results file: the count, then records filled with `pattern`
// repeated, to the stated length.
std::string zoneFile(std::uint32_t count, long long length, const std::string& pattern) {
    std::string file(static_cast<std::size_t>(std::max(0LL, length)), '\0');
    std::memcpy(&file[0], &count, std::min<std::size_t>(4, file.size()));
    if (!pattern.empty()) {
        for (std::size_t i = 4; i < file.size(); ++i) file[i] = pattern[(i - 4) % pattern.size()];
    }
    return file;
}

// A whole report ends with the totals header and its 8,760 lines, each
// ended in CR LF. (Zone names are copied byte for byte, so the blocks before
// may hold any byte.)
bool wholeReport(const std::string& report) {
    std::size_t header = report.rfind("# TOTAL --- ");
    if (header == std::string::npos || report.size() < 2 || report.compare(report.size() - 2, 2, "\r\n") != 0)
        return false;
    std::size_t lines = 0;
    for (std::size_t i = header; i < report.size(); ++i) {
        if (report[i] == '\n') {
            if (report[i - 1] != '\r') return false;
            ++lines;
        }
    }
    return lines == 1 + zoneloads::kHoursPerYear;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    auto dir = std::filesystem::temp_directory_path() / "zoneloads-run-fuzz";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    std::uint8_t countByte = in.byte();
    std::uint32_t count = countByte % 3;
    if (countByte >= 252) {
        count = 0;
        for (int i = 0; i < 4; ++i) count |= std::uint32_t{in.byte()} << (8 * i);
    }
    auto stray = static_cast<std::int16_t>(in.byte() | in.byte() << 8);
    std::uint8_t answersByte = in.byte();
    std::string answers = in.bytes(answersByte % 200);
    if (answersByte < 200) answers = "z.bin r.txt " + answers;
    std::string list = in.bytes(in.byte());
    std::string pattern = in.bytes(size);

    long long needed = 4 + (count < 3 ? count : 0) * zoneloads::kZoneRecordBytes;
    std::string zones = zoneFile(count, needed + stray, pattern);
    writeFile("z.bin", zones);
    writeFile("l.txt", list);
    std::remove("r.txt");

    std::istringstream console(answers);
    std::ostringstream out;
    int status = zoneloads::runDialogue(console, out);

    if (status != zoneloads::kExitSuccess && status != zoneloads::kExitFailure) __builtin_trap();
    if (status == zoneloads::kExitSuccess && !wholeReport(readFile("r.txt"))) __builtin_trap();
    if (readFile("z.bin") != zones) __builtin_trap();  // the input is never written
    return 0;
}
