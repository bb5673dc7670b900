#include "tools/view/report_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>

namespace zoneloads {
namespace view {
namespace {

constexpr std::size_t kBufferBytes = 1 << 20;
const int kMonthEndDay[12] = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
const char* const kMonths[12] = {"ene", "feb", "mar", "abr", "may", "jun",
                                 "jul", "ago", "sep", "oct", "nov", "dic"};

const char kWarning1[] = "# ATENCION # Los valores son orientativos de potencias sensibles";
const char kWarning2[] = "# ATENCION # NO sirven como c\xE1lculo de cargas.";
const char kNameStart[] = "# Nombre zona: ";
const char kNameEnd[] = " : # Pesos g(i) #";
const char kWeightsP[] = "# Pesos p(i) #";
const char kLegendTitle[] = "# LEYENDA #";
const char kLegend[] = "Treal[C],Tmax[C],Tmin[C],Qs[W],QL[W],VventInf[kg/s],daCal,daRef";
const char kExtremes[] = "# max QsREF[W] , max QsCAL[W], Para la zona";
const char kTotals[] = "# TOTAL --- Qsensible [w] , Qlatente[W],Qs[w]Sin agregar,Qs[W]sin agregar";
constexpr std::size_t kMaxNameBytes = 52;

struct Line {
    const char* text;
    std::size_t length;  // without its line end
    bool crlf;           // ended by CR LF (not a bare LF)
};

struct Field {
    const char* text;
    std::size_t length;
};

// Takes the next line. False at the end of the file; a last line without a
// line end is taken, with `ended` false.
// Moves what is left to the front of the buffer and reads more after it.
// False when nothing more could be read (the end of the file, or an error).
bool refill(ReportReader& r) {
    std::memmove(r.buffer.data(), r.buffer.data() + r.begin, r.end - r.begin);
    r.end -= r.begin;
    r.begin = 0;
    std::size_t want = r.buffer.size() - r.end;
    std::size_t got = std::fread(r.buffer.data() + r.end, 1, want, r.file);
    r.end += got;
    if (got < want) {  // fread stops short only at the end of the file or on an error
        r.readError = std::ferror(r.file) != 0;
        if (got == 0) r.atEnd = true;
    }
    return got > 0;
}

bool nextLine(ReportReader& r, Line& line, bool& ended) {
    for (;;) {
        const void* newline = std::memchr(r.buffer.data() + r.begin, '\n', r.end - r.begin);
        if (newline || r.atEnd || r.end - r.begin == r.buffer.size()) {
            if (!newline && r.begin == r.end) return false;
            const char* start = r.buffer.data() + r.begin;
            const char* stop = newline ? static_cast<const char*>(newline) : r.buffer.data() + r.end;
            r.begin = static_cast<std::size_t>(stop - r.buffer.data()) + (newline ? 1 : 0);
            ended = newline != nullptr;
            line.crlf = ended && stop > start && stop[-1] == '\r';
            line.text = start;
            line.length = static_cast<std::size_t>(stop - start) - (line.crlf ? 1 : 0);
            ++r.lineNumber;
            return true;
        }
        refill(r);
    }
}

bool fail(ReportReader& r, std::string& error, const std::string& what) {
    error = r.fileName + ", linea " + std::to_string(r.lineNumber) + ": " + what;
    return false;
}

// Takes the next line of a report, which must be ended by CR LF.
bool takeLine(ReportReader& r, Line& line, std::string& error, const char* expected) {
    bool ended = false;
    if (!nextLine(r, line, ended)) {
        ++r.lineNumber;
        return fail(r, error, std::string("el informe termina antes de tiempo (se esperaba ") + expected + ")");
    }
    if (r.readError) return fail(r, error, "error al leer el fichero");
    if (!ended) return fail(r, error, "el informe termina a mitad de linea");
    return true;
}

template <std::size_t N>
bool is(const Line& line, const char (&text)[N]) {
    return line.length == N - 1 && std::memcmp(line.text, text, N - 1) == 0;
}

bool expectLine(ReportReader& r, std::string& error, const char* what, const char* text) {
    Line line;
    if (!takeLine(r, line, error, what)) return false;
    std::size_t length = std::strlen(text);
    if (line.length != length || std::memcmp(line.text, text, length) != 0) {
        return fail(r, error, std::string("se esperaba \"") + text + "\"");
    }
    return true;
}

// Splits a line at every occurrence of `separator` (a bare "," or " , ")
// into exactly `count` fields; false when it holds another number of them.
// A plain loop: the lines are short, and a library call per comma costs more
// than the scan.
bool splitFields(const Line& line, const char* separator, Field* fields, int count) {
    bool spaced = separator[0] == ' ';
    const char* p = line.text;
    const char* end = line.text + line.length;
    const char* start = p;
    int n = 0;
    for (; p < end; ++p) {
        if (*p != ',') continue;
        const char* stop = p;
        if (spaced) {
            if (p == line.text || p[-1] != ' ' || p + 1 == end || p[1] != ' ') continue;
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

// The characters a number of the report can hold ("-1.5e+06", "nan", "inf").
struct NumberChars {
    bool allowed[256] = {};
    NumberChars() {
        for (const char* c = "0123456789.-+enaif"; *c; ++c) allowed[static_cast<unsigned char>(*c)] = true;
    }
};
const NumberChars kNumberChars;

// An hourly line split into its 8 fields at " , ", each checked on the way
// to hold only the characters of a number: one pass over the line, as it is
// the bulk of the report. The fields the view uses are parsed after.
bool splitHourLine(const Line& line, Field* fields) {
    const char* p = line.text;
    const char* end = line.text + line.length;
    const char* start = p;
    int n = 0;
    for (; p < end; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (kNumberChars.allowed[c]) continue;
        // Anything else must be the " , " between two fields.
        if (c != ' ' || end - p < 3 || p[1] != ',' || p[2] != ' ' || p == start || n == 7) return false;
        fields[n++] = {start, static_cast<std::size_t>(p - start)};
        p += 2;
        start = p + 1;
    }
    if (n != 7 || start == end) return false;
    fields[7] = {start, static_cast<std::size_t>(end - start)};
    return true;
}

// splitHourLine for the common line, with no branch that depends on where a
// field ends (which would mispredict eight times a line): the line's bytes
// are classified eight at a time into bit masks of spaces, commas and number
// bytes, and the fields read off the commas. It takes lines of at most 64
// bytes whose fields hold only digits, signs and points, and may read up to
// 7 bytes past the line's end (the section's text keeps that room); any
// other line it leaves to splitHourLine by returning false.
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
unsigned byteBits(Word highs) {
    return static_cast<unsigned>(((highs >> 7) * 0x0102040810204080ull) >> 56);
}

int lowestBit(std::uint64_t m) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(m);
#else
    int n = 0;
    for (; !(m & 1); m >>= 1) ++n;
    return n;
#endif
}

bool splitHourLineFast(const Line& line, Field* fields) {
    if (line.length == 0 || line.length > 64) return false;
    std::uint64_t spaces = 0, commas = 0, others = 0;
    for (std::size_t at = 0; at < line.length; at += 8) {
        Word w;
        std::memcpy(&w, line.text + at, sizeof w);
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
    std::uint64_t inLine = line.length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << line.length) - 1;
    spaces &= inLine;
    commas &= inLine;
    others &= inLine;
    // Every comma between two spaces, and no other space or byte.
    if (others || spaces != ((commas << 1) | (commas >> 1))) return false;
    std::size_t start = 0;
    for (int n = 0; n < 7; ++n) {
        if (!commas) return false;
        auto comma = static_cast<std::size_t>(lowestBit(commas));
        commas &= commas - 1;
        if (comma < start + 2) return false;  // an empty field
        fields[n] = {line.text + start, comma - 1 - start};
        start = comma + 2;
    }
    if (commas || start >= line.length) return false;
    fields[7] = {line.text + start, line.length - start};
    return true;
}

const double kExact10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads a number as the report writes one ("-12.5", "1.5e+06", "nan",
// "-inf"). Up to 15 digits and a power of ten up to 22 are converted with
// one correctly rounded operation; anything longer goes through strtod.
bool parseNumber(const Field& f, double& value) {
    const char* p = f.text;
    const char* end = f.text + f.length;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    std::size_t rest = static_cast<std::size_t>(end - p);
    if (rest == 3 && std::memcmp(p, "nan", 3) == 0) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (rest == 3 && std::memcmp(p, "inf", 3) == 0) {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    // Every digit counts, leading zeros too: at most 15 are exact in a double.
    unsigned long long mantissa = 0;
    int digits = 0;
    int scale = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digits) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        scale = -static_cast<int>(p - fraction);
        digits -= scale;
    }
    if (digits == 0) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) ++p;
        int exponent = 0;
        bool exponentDigits = false;
        for (; p < end && *p >= '0' && *p <= '9' && exponent < 10000; ++p, exponentDigits = true) {
            exponent = exponent * 10 + (*p - '0');
        }
        if (!exponentDigits) return false;
        scale += negativeExponent ? -exponent : exponent;
    }
    if (p != end) return false;
    if (digits <= 15 && scale >= -22 && scale <= 22) {  // else the mantissa may have overflowed: strtod
        double m = static_cast<double>(mantissa);
        value = scale >= 0 ? m * kExact10[scale] : m / kExact10[-scale];
    } else {
        std::string copy(f.text, f.length);
        value = std::strtod(copy.c_str(), nullptr);
    }
    if (negative) value = -value;
    return true;
}

bool isInteger(const Field& f) {
    std::size_t i = f.length > 0 && f.text[0] == '-' ? 1 : 0;
    if (i == f.length) return false;
    for (; i < f.length; ++i) {
        if (f.text[i] < '0' || f.text[i] > '9') return false;
    }
    return true;
}

bool numberLine(ReportReader& r, std::string& error, const char* what, const char* separator, int count,
                Field* fields, double* values) {
    Line line;
    if (!takeLine(r, line, error, what)) return false;
    if (!splitFields(line, separator, fields, count)) {
        return fail(r, error, std::string("se esperaban ") + std::to_string(count) + " campos (" + what + ")");
    }
    for (int i = 0; i < count; ++i) {
        double ignored;
        if (!parseNumber(fields[i], values ? values[i] : ignored)) {
            return fail(r, error, std::string("campo ") + std::to_string(i + 1) + " no es un numero (" + what + ")");
        }
    }
    return true;
}

// The name line, which runs on into the g(i) header. A name holding line
// breaks spans several lines; they are joined back with their bytes.
bool readName(ReportReader& r, const Line& first, Section& section, std::string& error) {
    std::string text(first.text, first.length);
    bool crlf = first.crlf;
    const std::size_t endLength = sizeof kNameEnd - 1;
    while (text.size() < endLength || text.compare(text.size() - endLength, endLength, kNameEnd) != 0) {
        if (text.size() > sizeof kNameStart - 1 + kMaxNameBytes + endLength) {
            return fail(r, error, "se esperaba \"# Nombre zona: ... : # Pesos g(i) #\"");
        }
        Line more;
        if (!takeLine(r, more, error, "el nombre de la zona")) return false;
        text += crlf ? "\r\n" : "\n";
        text.append(more.text, more.length);
        crlf = more.crlf;
    }
    section.name = text.substr(sizeof kNameStart - 1, text.size() - (sizeof kNameStart - 1) - endLength);
    if (section.name.size() > kMaxNameBytes) return fail(r, error, "nombre de zona de mas de 52 bytes");
    return true;
}

// The number of LF bytes in [p, end), eight bytes at a time.
std::size_t countLineEnds(const char* p, const char* end) {
    std::size_t n = 0;
    for (; end - p >= 8; p += 8) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        n += static_cast<std::size_t>(((bytesEqual(w, '\n') >> 7) * kOnes) >> 56);  // the marks, added up
    }
    for (; p < end; ++p) n += *p == '\n';
    return n;
}

// Takes the next `count` lines, as they stand (CR LF or LF ends), into the
// section's text, to be parsed later (and on another thread) by
// parseSection. The bulk of every report, so the line ends are counted a
// block at a time and the lines copied in one piece.
bool collectLines(ReportReader& r, Section& section, int count, const char* what, std::string& error) {
    section.firstLine = r.lineNumber + 1;
    int left = count;
    while (left > 0) {
        if (r.begin == r.end && !refill(r)) {
            if (r.readError) return fail(r, error, "error al leer el fichero");
            ++r.lineNumber;
            return fail(r, error, std::string("el informe termina antes de tiempo (se esperaba ") + what + ")");
        }
        const char* start = r.buffer.data() + r.begin;
        const char* end = r.buffer.data() + r.end;
        const char* p = start;
        while (p < end && left > 0) {
            std::ptrdiff_t chunk = std::min<std::ptrdiff_t>(end - p, 4096);
            auto lines = static_cast<int>(countLineEnds(p, p + chunk));
            if (lines < left) {
                left -= lines;
                r.lineNumber += lines;
                p += chunk;
                continue;
            }
            for (; left > 0; --left, ++r.lineNumber) {
                p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))) + 1;
            }
        }
        // Only whole lines are taken: a line that runs on past the buffer waits for the next read.
        const char* whole = p;
        if (left > 0) {
            while (whole > start && whole[-1] != '\n') --whole;
        }
        section.text.append(start, static_cast<std::size_t>(whole - start));
        r.begin = static_cast<std::size_t>(whole - r.buffer.data());
        if (left > 0 && !refill(r)) {
            if (r.readError) return fail(r, error, "error al leer el fichero");
            ++r.lineNumber;
            return fail(r, error, r.begin < r.end ? std::string("el informe termina a mitad de linea")
                                                 : std::string("el informe termina antes de tiempo (se esperaba ") + what + ")");
        }
    }
    return true;
}

// The line that starts at `p` in a section's text, without its line end.
Line sectionLine(const Section& section, const char* p, const char*& next) {
    const char* stop = static_cast<const char*>(
        std::memchr(p, '\n', static_cast<std::size_t>(section.text.data() + section.text.size() - p)));
    next = stop + 1;
    if (stop > p && stop[-1] == '\r') --stop;
    return {p, static_cast<std::size_t>(stop - p), false};
}

bool readZoneBlock(ReportReader& r, Section& section, std::string& error) {
    Line line;
    Field fields[24];
    if (!expectLine(r, error, "el segundo aviso", kWarning2)) return false;
    if (!takeLine(r, line, error, "el nombre de la zona")) return false;
    if (line.length < sizeof kNameStart - 1 || std::memcmp(line.text, kNameStart, sizeof kNameStart - 1) != 0) {
        return fail(r, error, "se esperaba \"# Nombre zona: \"");
    }
    if (!readName(r, line, section, error)) return false;
    if (!numberLine(r, error, "pesos g(i)", ",", 24, fields, nullptr)) return false;
    if (!expectLine(r, error, "el titulo de los pesos p(i)", kWeightsP)) return false;
    if (!numberLine(r, error, "pesos p(i)", ",", 2, fields, nullptr)) return false;
    if (!expectLine(r, error, "el titulo de la leyenda", kLegendTitle)) return false;
    if (!expectLine(r, error, "la leyenda", kLegend)) return false;
    if (!expectLine(r, error, "la cabecera de extremos", kExtremes)) return false;
    if (!collectLines(r, section, kHours + 1, "una linea horaria", error)) return false;  // and the extremes line
    section.text.append(8, '\0');  // the room splitHourLineFast may read past the last line
    return true;
}

// Where a parse of a section's text found a fault: its line, and what.
struct Fault {
    long long line = 0;
    std::string what;
};

bool faultAt(Fault& fault, long long line, const std::string& what) {
    fault.line = line;
    fault.what = what;
    return false;
}

// Starts the section's summary afresh.
void startSummary(Summary& s) {
    s = Summary{};
    s.maxPosText = "0";
    s.minNegText = "0";
}

// Takes hour h into the section, in hour order: its Qs (`qsText` as the
// report writes it) into the peaks and counts, its energy parts into the
// sums. An hour whose Qs is not a number is only counted as such.
void addHour(Section& section, int h, double qs, const Field& qsText, double pos, double neg, double ql) {
    Summary& s = section.summary;
    section.qs[static_cast<std::size_t>(h)] = qs;
    if (std::isnan(qs)) {
        ++s.nanHours;
        return;
    }
    if (qs > 0) {
        ++s.hoursPos;
        if (qs > s.maxPos) {
            s.maxPos = qs;
            s.maxPosText.assign(qsText.text, qsText.length);
            s.maxPosHour = h;
        }
    } else if (qs < 0) {
        ++s.hoursNeg;
        if (qs < s.minNeg) {
            s.minNeg = qs;
            s.minNegText.assign(qsText.text, qsText.length);
            s.minNegHour = h;
        }
    }
    int month = hourMonth(h);
    s.sumPosWh += pos;
    s.sumNegWh += neg;
    s.sumQLWh += ql;
    s.monthPosWh[month] += pos;
    s.monthNegWh[month] += neg;
}

// Parses the hourly lines of a zone block and its extremes line.
bool parseZoneHours(Section& section, Fault& fault) {
    const char* p = section.text.data();
    for (int h = 0; h <= kHours; ++h) {
        const char* next;
        Line line = sectionLine(section, p, next);
        long long number = section.firstLine + h;
        if (h == kHours) {
            Field f[2];
            double v[2];
            if (!splitFields(line, " , ", f, 2) || !parseNumber(f[0], v[0]) || !parseNumber(f[1], v[1])) {
                return faultAt(fault, number, "se esperaban 2 numeros (la linea de extremos)");
            }
            break;
        }
        Field f[8];
        double qs = 0;
        double ql = 0;
        if (!splitHourLineFast(line, f) && !splitHourLine(line, f)) {
            return faultAt(fault, number, "una linea horaria tiene 8 numeros separados por \" , \"");
        }
        if (!parseNumber(f[3], qs)) return faultAt(fault, number, "Qs no es un numero");
        if (!parseNumber(f[4], ql)) return faultAt(fault, number, "QL no es un numero");
        if (!isInteger(f[6]) || !isInteger(f[7])) return faultAt(fault, number, "daCal y daRef son enteros");
        addHour(section, h, qs, f[3], qs > 0 ? qs : 0, qs < 0 ? qs : 0, ql);
        p = next;
    }
    return true;
}

// Parses the lines of the totals section: sum, latent, non-positive, positive.
bool parseTotalsHours(Section& section, Fault& fault) {
    const char* p = section.text.data();
    for (int h = 0; h < kHours; ++h) {
        const char* next;
        Line line = sectionLine(section, p, next);
        Field f[4];
        double v[4];
        if (!splitFields(line, " , ", f, 4)) return faultAt(fault, section.firstLine + h, "se esperaban 4 campos (una linea de totales)");
        for (int i = 0; i < 4; ++i) {
            if (!parseNumber(f[i], v[i])) {
                return faultAt(fault, section.firstLine + h, "campo " + std::to_string(i + 1) + " no es un numero (una linea de totales)");
            }
        }
        addHour(section, h, v[0], f[0], v[3], v[2], v[1]);
        p = next;
    }
    return true;
}

}  // namespace

bool openReportFile(ReportReader& reader, const std::string& fileName, std::string& error) {
    reader = ReportReader{};
    reader.fileName = fileName;
    reader.file = std::fopen(fileName.c_str(), "rb");
    if (!reader.file) {
        error = fileName + ": no se puede abrir";
        return false;
    }
    reader.buffer.resize(kBufferBytes);
    return true;
}

ReadResult readSection(ReportReader& reader, Section& section, std::string& error) {
    Line line;
    bool ended = false;
    if (!nextLine(reader, line, ended)) {
        if (reader.readError) return fail(reader, error, "error al leer el fichero"), ReadResult::error;
        if (reader.totalsRead) return ReadResult::end;
        ++reader.lineNumber;
        fail(reader, error, reader.lineNumber == 1 ? "el fichero esta vacio, no es un informe"
                                                   : "el informe termina antes de la seccion de totales");
        return ReadResult::error;
    }
    if (reader.totalsRead) return fail(reader, error, "texto tras el final del informe"), ReadResult::error;
    if (!ended) return fail(reader, error, "el informe termina a mitad de linea"), ReadResult::error;

    section.name.clear();
    section.text.clear();
    if (is(line, kWarning1)) {
        section.totals = false;
        section.block = ++reader.blocks;
        return readZoneBlock(reader, section, error) ? ReadResult::section : ReadResult::error;
    }
    if (is(line, kTotals)) {
        section.totals = true;
        section.block = 0;
        reader.totalsRead = true;
        return collectLines(reader, section, kHours, "una linea de totales", error) ? ReadResult::section
                                                                                    : ReadResult::error;
    }
    fail(reader, error, reader.lineNumber == 1 ? "no es un informe de zoneloads"
                                               : "se esperaba un bloque de zona o la seccion de totales");
    return ReadResult::error;
}

bool parseSection(const std::string& fileName, Section& section, std::string& error) {
    Fault fault;
    startSummary(section.summary);
    bool parsed = section.totals ? parseTotalsHours(section, fault) : parseZoneHours(section, fault);
    if (!parsed) {
        error = fileName + ", linea " + std::to_string(fault.line) + ": " + fault.what;
        return false;
    }
    return true;
}

void closeReportFile(ReportReader& reader) {
    if (reader.file) std::fclose(reader.file);
    reader.file = nullptr;
}

int hourMonth(int hour) {
    static const std::vector<unsigned char> months = [] {
        std::vector<unsigned char> table(kHours);
        int month = 0;
        for (int h = 0; h < kHours; ++h) {
            while (month < 11 && h / 24 >= kMonthEndDay[month]) ++month;
            table[static_cast<std::size_t>(h)] = static_cast<unsigned char>(month);
        }
        return table;
    }();
    return months[static_cast<std::size_t>(hour)];
}

std::string hourDate(int hour) {
    int day = hour / 24;
    int month = hourMonth(hour);
    int dayOfMonth = day - (month > 0 ? kMonthEndDay[month - 1] : 0) + 1;
    char text[32];
    std::snprintf(text, sizeof text, "%d %s %02d:00", dayOfMonth, kMonths[month], hour % 24);
    return text;
}

}  // namespace view
}  // namespace zoneloads
