#include "reportfile/report_format.h"

#include <cstring>
#include <functional>

#include "common/bits.h"
#include "common/number_format.h"

namespace zoneloads {

const OpeningLine kBlockOpening[kOpeningLines] = {
    {OpeningShape::fixed, kWarning1, "el primer aviso"},
    {OpeningShape::fixed, kWarning2, "el segundo aviso"},
    {OpeningShape::name, {}, "el nombre de la zona"},
    {OpeningShape::weightsG, {}, "pesos g(i)"},
    {OpeningShape::fixed, kWeightsPTitle, "el titulo de los pesos p(i)"},
    {OpeningShape::weightsP, {}, "pesos p(i)"},
    {OpeningShape::fixed, kLegendTitle, "el titulo de la leyenda"},
    {OpeningShape::fixed, kLegend, "la leyenda"},
    {OpeningShape::fixed, kExtremesTitle, "la cabecera de extremos"},
};

namespace {

char* append(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

char* endLine(char* at) { return append(at, kLineEnd); }

char* appendWeights(char* at, const float32* weights, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) at = append(at, kWeightSeparator);
        at = formatFloat32(weights[i], at);
    }
    return at;
}

// A real column's value: copied from the line before when its bits did not
// change, else formatted straight into the line. (Formatting elsewhere and
// copying over would read back bytes just stored, which the processor
// cannot forward and makes wait.)
char* appendColumn(char* at, float32 value, HourLineCache::Column& column) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char* end;
    if (bits == column.bits && column.text) {
        std::memcpy(at, column.text, kMaxNumberChars);  // the line has room; the excess is overwritten
        end = at + column.length;
    } else {
        end = formatFloat32(value, at);
    }
    column.bits = bits;
    column.text = at;
    column.length = static_cast<std::size_t>(end - at);
    return end;
}

char* appendField(char* at, float32 value, HourLineCache::Column& column) {
    return append(appendColumn(at, value, column), kSeparator);
}

}  // namespace

char* writeTextLine(char* at, std::string_view text) { return endLine(append(at, text)); }

char* writeOpeningLines(char* at, const ZoneRecord& zone) {
    for (const OpeningLine& line : kBlockOpening) {
        switch (line.shape) {
            case OpeningShape::fixed:
                at = writeTextLine(at, line.text);
                break;
            case OpeningShape::name:
                at = append(at, kNameStart);
                at = append(at, std::string_view(zone.name, nameLength(zone.name)));
                at = endLine(append(at, kNameEnd));
                break;
            case OpeningShape::weightsG:
                at = endLine(appendWeights(at, zone.g, kWeightsG));
                break;
            case OpeningShape::weightsP:
                at = endLine(appendWeights(at, zone.p, kWeightsP));
                break;
        }
    }
    return at;
}

// The columns in report order, which is not their order in the record,
// written out rather than looked up.
char* writeHourLine(char* at, const ZoneRecord& zone, int h, HourLineCache& cache) {
    at = appendField(at, zone.Treal[h], cache.columns[kTreal]);
    at = appendField(at, zone.Tmax[h], cache.columns[kTmax]);
    at = appendField(at, zone.Tmin[h], cache.columns[kTmin]);
    at = appendField(at, zone.Qs[h], cache.columns[kQs]);
    at = appendField(at, zone.QL[h], cache.columns[kQL]);
    at = appendField(at, zone.VventInf[h], cache.columns[kVventInf]);
    at = append(formatInt32(zone.daCal[h], at), kSeparator);
    at = formatInt32(zone.daRef[h], at);
    return endLine(at);
}

char* writeExtremesLine(char* at, float32 qsMax, float32 qsMin) {
    at = append(formatFloat32(qsMax, at), kSeparator);
    return endLine(formatFloat32(qsMin, at));
}

char* writeTotalsLine(char* at, float32 sumQs, float32 sumQL, float32 sumQsNeg, float32 sumQsPos) {
    at = append(formatFloat32(sumQs, at), kSeparator);
    at = append(formatFloat32(sumQL, at), kSeparator);
    at = append(formatFloat32(sumQsNeg, at), kSeparator);
    return endLine(formatFloat32(sumQsPos, at));
}

bool readNameLine(std::string_view line, std::string& name) {
    if (line.size() < kNameStart.size() + kNameEnd.size() || line.substr(0, kNameStart.size()) != kNameStart ||
        line.substr(line.size() - kNameEnd.size()) != kNameEnd) {
        return false;
    }
    std::size_t length = line.size() - kNameStart.size() - kNameEnd.size();
    if (length > static_cast<std::size_t>(kNameBytes)) return false;
    name.assign(line.data() + kNameStart.size(), length);
    return true;
}

// A plain loop: the lines are short, and a library call per comma costs more
// than the scan.
bool splitFields(std::string_view line, std::string_view separator, Field* fields, int count) {
    bool spaced = separator[0] == ' ';
    const char* begin = line.data();
    const char* end = begin + line.size();
    const char* start = begin;
    int n = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p != ',') continue;
        const char* stop = p;
        if (spaced) {
            if (p == begin || p[-1] != ' ' || p + 1 == end || p[1] != ' ') continue;
            --stop;
        }
        if (n == count - 1) return false;
        fields[n++] = {start, static_cast<std::size_t>(stop - start)};
        start = spaced ? p + 2 : p + 1;
        if (spaced) ++p;
    }
    if (n != count - 1) return false;
    fields[n] = {start, static_cast<std::size_t>(end - start)};
    return true;
}

namespace {

// The bytes a number of the report can hold ("-1.5e+06", "nan", "inf").
struct NumberBytes {
    bool allowed[256] = {};
    NumberBytes() {
        for (const char* c = "0123456789.-+enaif"; *c; ++c) allowed[static_cast<unsigned char>(*c)] = true;
    }
};
const NumberBytes kNumberBytes;

// splitHourLine's general case: one pass over the line, each byte either a
// number's or part of the " , " between two fields.
bool splitHourLineSlow(std::string_view line, Field* fields) {
    const char* p = line.data();
    const char* end = p + line.size();
    const char* start = p;
    int n = 0;
    for (; p < end; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (kNumberBytes.allowed[c]) continue;
        if (c != ' ' || end - p < 3 || p[1] != ',' || p[2] != ' ' || p == start || n == kHourFields - 1) return false;
        fields[n++] = {start, static_cast<std::size_t>(p - start)};
        p += 2;
        start = p + 1;
    }
    if (n != kHourFields - 1 || start == end) return false;
    fields[kHourFields - 1] = {start, static_cast<std::size_t>(end - start)};
    return true;
}

// The common line, with no branch that depends on where a field ends (which
// would mispredict eight times a line): the line's bytes are classified
// eight at a time into bit masks of spaces, commas and number bytes, and the
// fields read off the commas. It takes lines of at most 64 bytes whose fields
// hold only digits, signs and points; any other line it leaves to
// splitHourLineSlow by returning false.
using Word = std::uint64_t;
constexpr Word kOnes = 0x0101010101010101ull;
constexpr Word kHighs = 0x8080808080808080ull;
constexpr Word kLows = 0x7F7F7F7F7F7F7F7Full;

// The high bit of every byte of `w` that equals `c`, and of no other byte.
Word bytesEqual(Word w, unsigned char c) {
    Word x = w ^ (kOnes * c);
    return ~(((x & kLows) + kLows) | x | kLows);
}

// The high bits of a word's bytes as 8 bits, first byte lowest.
unsigned byteBits(Word highs) { return static_cast<unsigned>(((highs >> 7) * 0x0102040810204080ull) >> 56); }

bool splitHourLineFast(std::string_view line, Field* fields) {
    const std::size_t length = line.size();
    if (length == 0 || length > 64) return false;
    std::uint64_t spaces = 0, commas = 0, others = 0;
    for (std::size_t at = 0; at < length; at += 8) {
        Word w;
        std::memcpy(&w, line.data() + at, sizeof w);
        Word ascii = w & kLows;
        Word atLeastPlus = ((w | kHighs) - kOnes * 0x2B) & kHighs;  // bytes from '+' on
        Word atMostNine = (kOnes * 0xB9 - ascii) & kHighs;           // bytes up to '9'
        Word space = bytesEqual(w, ' ');
        Word comma = bytesEqual(w, ',');
        Word number = atLeastPlus & atMostNine & ~(w & kHighs) & ~comma & ~bytesEqual(w, '/');
        spaces |= std::uint64_t{byteBits(space)} << at;
        commas |= std::uint64_t{byteBits(comma)} << at;
        others |= std::uint64_t{byteBits(~(number | space | comma) & kHighs)} << at;
    }
    std::uint64_t inLine = length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1;
    spaces &= inLine;
    commas &= inLine;
    others &= inLine;
    // Every comma between two spaces, and no other space or byte.
    if (others || spaces != ((commas << 1) | (commas >> 1))) return false;
    std::size_t start = 0;
    for (int n = 0; n < kHourFields - 1; ++n) {
        if (!commas) return false;
        auto comma = static_cast<std::size_t>(trailingZeros(commas));
        commas &= commas - 1;
        if (comma < start + 2) return false;  // an empty field
        fields[n] = {line.data() + start, comma - 1 - start};
        start = comma + 2;
    }
    if (commas || start >= length) return false;
    fields[kHourFields - 1] = {line.data() + start, length - start};
    return true;
}

}  // namespace

bool splitHourLine(std::string_view line, Field* fields) {
    return splitHourLineFast(line, fields) || splitHourLineSlow(line, fields);
}

}  // namespace zoneloads
