#include "reportfile/report_format.h"

#include <cstring>
#include <functional>

#include "common/number_format.h"

namespace zoneloads {

const OpeningLine kBlockOpening[kOpeningLines] = {
    {OpeningShape::fixed, kWarning1, "el primer aviso"},
    {OpeningShape::fixed, kWarning2, "el segundo aviso"},
    {OpeningShape::name, {}, "el nombre de la zona"},
    {OpeningShape::weightsG, {}, "pesos g(i)"},
    {OpeningShape::fixed, kWeightsPTitle, "el t\u00edtulo de los pesos p(i)"},
    {OpeningShape::weightsP, {}, "pesos p(i)"},
    {OpeningShape::fixed, kLegendTitle, "el t\u00edtulo de la leyenda"},
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
char* appendColumn(char* at, float32 value, LastWrittenLine::Column& column) {
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

char* appendField(char* at, float32 value, LastWrittenLine::Column& column) {
    return append(appendColumn(at, value, column), kSeparator);
}

}  // namespace

char* writeTextLine(char* at, std::string_view text) { return endLine(append(at, text)); }

char* writeOpeningLines(char* at, const ZoneRecord& zone) {
    for (const OpeningLine& line : kBlockOpening) {
        switch (line.shape) {
            case OpeningShape::fixed: at = writeTextLine(at, line.text); break;
            case OpeningShape::name:
                at = append(at, kNameStart);
                at = append(at, std::string_view(zone.name, nameLength(zone.name)));
                at = endLine(append(at, kNameEnd));
                break;
            case OpeningShape::weightsG: at = endLine(appendWeights(at, zone.g, kWeightsG)); break;
            case OpeningShape::weightsP: at = endLine(appendWeights(at, zone.p, kWeightsP)); break;
        }
    }
    return at;
}

// The fields in the line's order, which is not the record's, written out
// rather than looked up.
char* writeHourLine(char* at, const ZoneRecord& zone, int h, LastWrittenLine& last) {
    at = appendField(at, zone.Treal[h], last.columns[hourField(kTreal)]);
    at = appendField(at, zone.Tmax[h], last.columns[hourField(kTmax)]);
    at = appendField(at, zone.Tmin[h], last.columns[hourField(kTmin)]);
    at = appendField(at, zone.Qs[h], last.columns[hourField(kQs)]);
    at = appendField(at, zone.QL[h], last.columns[hourField(kQL)]);
    at = appendField(at, zone.VventInf[h], last.columns[hourField(kVventInf)]);
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
            if (stop < start) return false;  // " , , ": two separators share a blank
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

// One pass over the line, each byte either a number's or part of the " , "
// between two fields.
bool splitHourLineBytes(std::string_view line, Field* fields) {
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

}  // namespace

bool splitHourLine(std::string_view line, Field* fields) { return splitHourLineBytes(line, fields); }

namespace {

// Whether `length` bytes at `a` and `b` are the same: a loop, as the fields
// compared are a few bytes long and a call to memcmp would cost more.
inline bool sameBytes(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace

bool readHourLine(std::string_view line, LastReadLine& last, double* reals, Field* fields) {
    const char* p = line.data();
    const char* end = p + line.size();
    for (int c = 0; c < kHourFields; ++c) {
        if (c > 0) {
            if (end - p < 3 || p[0] != ' ' || p[1] != ',' || p[2] != ' ') return false;
            p += 3;
        }
        const char* start = p;
        if (c < kDaCalField) {
            LastReadLine::Column& m = last.columns[c];
            auto length = static_cast<std::ptrdiff_t>(m.length);
            if (m.text && end - p >= length && sameBytes(p, m.text, m.length) &&
                (p + length == end || p[length] == ' ')) {
                reals[c] = m.value;
                p += length;
            } else {
                if (!(p = scanReal(p, end, reals[c]))) return false;
                m = {start, static_cast<std::size_t>(p - start), reals[c]};
            }
        } else if (!(p = scanInt32(p, end))) {
            return false;
        }
        if (fields) fields[c] = {start, static_cast<std::size_t>(p - start)};
    }
    return p == end;
}

}  // namespace zoneloads
