// Fuzz target: the report reader on reports written by the report's
// own grammar writers and then cut, grown and changed. The input is read as:
//   byte 0      zone blocks (0 to 2), and whether lines end in LF alone (bit 7)
//   byte 1      length of the zone's name (at most 52), then the name
//   byte        how many hours get a value of their own, then per such hour
//               2 bytes of hour and 4 bytes of float32 bits (Qs), with the
//               next four bytes the hour's QL
//   the rest    changes, 6 bytes each: 4 bytes of offset, an operation
//               (replace, insert, delete) and its byte
// Every report the reader accepts must give, section by section, peaks,
// hours and counts equal to a plain recomputation from the hours it read,
// and hours equal to a plain reading of the lines' text; every refusal is
// one line that names the file and the line.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "reportfile/report_format.h"
#include "reportfile/report_reader.h"
#include "view/figures/statistics.h"

namespace {

using namespace zoneloads;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    std::uint32_t word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w |= std::uint32_t{byte()} << (8 * i);
        return w;
    }
};

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A report of `blocks` copies of the zone and its totals, as zoneloads
// writes one.
std::string writeReport(const ZoneRecord& zone, int blocks) {
    std::string text;
    std::vector<char> line(kMaxLineBytes + kMaxHourLineBytes);
    std::vector<float> sums(4 * kHoursPerYear, 0.0f);  // sum, latent, not above 0, above 0
    for (int b = 0; b < blocks; ++b) {
        std::vector<char> block(kOpeningLines * kMaxLineBytes + kHoursPerYear * kMaxHourLineBytes + kMaxLineBytes);
        char* at = writeOpeningLines(block.data(), zone);
        LastWrittenLine cache;
        float qsMax = 0, qsMin = 0;
        for (int h = 0; h < kHoursPerYear; ++h) {
            at = writeHourLine(at, zone, h, cache);
            float qs = zone.Qs[h];
            if (!(qs >= qsMin)) qsMin = qs;
            if (qs > qsMax) qsMax = qs;
            sums[4 * h] += qs;
            sums[4 * h + 1] += zone.QL[h];
            sums[4 * h + (qs > 0 ? 3 : 2)] += qs;
        }
        at = writeExtremesLine(at, qsMax, qsMin);
        text.append(block.data(), at);
    }
    char* end = writeTextLine(line.data(), kTotalsTitle);
    text.append(line.data(), end);
    for (int h = 0; h < kHoursPerYear; ++h) {
        end = writeTotalsLine(line.data(), sums[4 * h], sums[4 * h + 1], sums[4 * h + 2], sums[4 * h + 3]);
        text.append(line.data(), end);
    }
    return text;
}

// The report with every CR LF made a bare LF.
std::string withBareLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// Qs of each hour, read plainly from the section's text: the field before
// the 4th " , " of an hourly line, or the first of a totals line.
void checkHoursAgainstText(const Section& section, const SectionHours& hours) {
    std::string_view text(section.text);
    std::size_t at = 0;
    for (int h = 0; h < kHoursPerYear; ++h) {
        std::size_t newline = text.find('\n', at);
        check(newline != std::string_view::npos);
        std::string_view line = text.substr(at, newline - at);
        at = newline + 1;
        std::size_t start = 0;
        for (int skip = section.totals ? 0 : 3; skip > 0; --skip) start = line.find(" , ", start) + 3;
        std::size_t stop = std::min(line.find(" , ", start), line.size());
        char field[64] = {};
        std::memcpy(field, line.data() + start, std::min<std::size_t>(stop - start, sizeof field - 1));
        double plain = std::strtod(field, nullptr);
        double read = hours.qs[static_cast<std::size_t>(h)];
        check(std::signbit(plain) == std::signbit(read));
        check(std::isnan(plain) ? std::isnan(read) : plain == read);
    }
}

// The figures of the hours read, against a plain recomputation.
void checkFigures(const SectionHours& hours) {
    view::SectionFigures f = view::sectionFigures(hours);
    double maxPos = 0, minNeg = 0;
    int maxHour = -1, minHour = -1, pos = 0, neg = 0, nan = 0;
    for (int h = 0; h < kHoursPerYear; ++h) {
        double v = hours.qs[static_cast<std::size_t>(h)];
        if (std::isnan(v)) {
            ++nan;
        } else if (v > 0) {
            ++pos;
            if (v > maxPos) maxPos = v, maxHour = h;
        } else if (v < 0) {
            ++neg;
            if (v < minNeg) minNeg = v, minHour = h;
        }
    }
    check(f.qsRef.value == maxPos && f.qsRef.hour == maxHour && f.qsCal.value == minNeg && f.qsCal.hour == minHour);
    check(f.hoursQsPos == pos && f.hoursQsNeg == neg && f.nanHours == nan);
    check(!(f.qsRef.value < 0) && !(f.qsCal.value > 0));
}

void checkRefusal(const std::string& error) {
    const std::string start = "r.txt, l\u00ednea ";
    check(error.compare(0, start.size(), start) == 0);
    check(error.find('\n') == std::string::npos && error.find('\r') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    std::uint8_t shape = in.byte();
    auto zone = std::make_unique<ZoneRecord>();
    std::memset(zone.get(), 0, sizeof *zone);
    std::size_t nameLength = in.byte() % (kNameBytes + 1);
    for (std::size_t i = 0; i < nameLength; ++i) zone->name[i] = static_cast<char>(in.byte() | 1);  // no NUL
    for (int h = 0; h < kHoursPerYear; ++h) {
        zone->Treal[h] = 21.5f, zone->Tmax[h] = 25, zone->Tmin[h] = 20, zone->VventInf[h] = 0.0123f;
        zone->Qs[h] = static_cast<float>(h % 5) - 2;
    }
    for (int n = in.byte(); n > 0; --n) {
        int h = (in.byte() | in.byte() << 8) % kHoursPerYear;
        zone->Qs[h] = fromBits(in.word());
        zone->QL[h] = fromBits(in.word());
    }
    // The report before the changes depends only on the bytes read so far:
    // written again only when they change, as most inputs change the rest.
    static std::string lastPrefix;
    static std::string lastReport;
    std::string prefix(reinterpret_cast<const char*>(data), std::min(in.at, size));
    if (prefix != lastPrefix || lastReport.empty()) {
        lastReport = writeReport(*zone, shape % 3);
        if (shape & 0x80) lastReport = withBareLineFeeds(lastReport);
        lastPrefix = prefix;
    }
    static std::string text;  // the buffers of one run serve the next
    text = lastReport;
    while (in.at + 6 <= in.size) {
        std::size_t offset = in.word() % (text.size() + 1);
        std::uint8_t operation = in.byte();
        char value = static_cast<char>(in.byte());
        if (operation % 3 == 0 && offset < text.size()) text[offset] = value;
        if (operation % 3 == 1) text.insert(text.begin() + static_cast<std::ptrdiff_t>(offset), value);
        if (operation % 3 == 2 && offset < text.size()) text.erase(offset, 1);
    }

    std::FILE* file = fmemopen(text.data(), text.size(), "rb");
    if (!file) return 0;
    static ReportReader reader;
    static Section section;
    static SectionHours hours;
    std::string error;
    openReportStream(reader, file, "r.txt");
    ReadResult result;
    while ((result = readReportSection(reader, section, error)) == ReadResult::section) {
        if (!readSectionHours("r.txt", section, hours, error)) {
            result = ReadResult::error;
            break;
        }
        checkFigures(hours);
        checkHoursAgainstText(section, hours);
    }
    closeReportFile(reader);
    if (result == ReadResult::error) checkRefusal(error);
    return 0;
}
