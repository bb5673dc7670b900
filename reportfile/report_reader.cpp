#include "reportfile/report_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "common/calendar.h"
#include "common/number_format.h"
#include "common/platform.h"
#include "common/text_encoding.h"
#include "reportfile/report_format.h"

namespace zoneloads {
namespace {

constexpr std::size_t kBufferBytes = 1 << 20;
// Lines are counted this many bytes at a time; twice the longest line of a
// report, so that a chunk always holds a line end.
constexpr std::ptrdiff_t kLineChunk = 2 * kMaxLineBytes;

struct Line {
    std::string_view text;  // without its line end
    bool crlf;              // ended by CR LF (not a bare LF)
};

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

// Takes the next line. False at the end of the file; a last line without a
// line end is taken, with `ended` false.
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
            line.text = std::string_view(start, static_cast<std::size_t>(stop - start) - (line.crlf ? 1 : 0));
            ++r.lineNumber;
            return true;
        }
        refill(r);
    }
}

// Sets the message of a fault at the line reached; returns false.
bool failAtLine(ReportReader& r, std::string& error, const std::string& what) {
    error = reportLineMessage(r.fileName, r.lineNumber, what);
    return false;
}

// Takes the next line of a report, which must have a line end.
bool takeLine(ReportReader& r, Line& line, std::string& error, const char* expected) {
    bool ended = false;
    if (!nextLine(r, line, ended)) {
        ++r.lineNumber;
        return failAtLine(r, error, std::string("el informe termina antes de tiempo (se esperaba ") + expected + ")");
    }
    if (r.readError) return failAtLine(r, error, "error al leer el fichero");
    if (!ended) return failAtLine(r, error, "el informe termina a mitad de l\u00ednea");
    return true;
}

bool expectLine(ReportReader& r, std::string& error, const OpeningLine& expected) {
    Line line;
    if (!takeLine(r, line, error, expected.what)) return false;
    if (line.text != expected.text) return failAtLine(r, error, "se esperaba \"" + std::string(expected.text) + "\"");
    return true;
}

// A line of `count` reals separated by `separator`.
bool realsLine(ReportReader& r, std::string& error, const char* what, std::string_view separator, int count) {
    Line line;
    Field fields[kWeightsG];
    if (!takeLine(r, line, error, what)) return false;
    if (!splitFields(line.text, separator, fields, count)) {
        return failAtLine(r, error, std::string("se esperaban ") + std::to_string(count) + " campos (" + what + ")");
    }
    for (int i = 0; i < count; ++i) {
        double ignored;
        if (!parseReal(fields[i].text, fields[i].length, ignored)) {
            return failAtLine(r, error,
                              std::string("campo ") + std::to_string(i + 1) + " no es un n\u00famero (" + what + ")");
        }
    }
    return true;
}

// Reads more until the buffer holds `want` bytes from `begin`, or the rest
// of the file.
void fillAtLeast(ReportReader& r, std::size_t want) {
    while (r.end - r.begin < want && !r.atEnd && refill(r)) {}
}

// The line at the start of `bytes`, without its line end, and the length
// with it; false when no line end follows.
bool firstLine(std::string_view bytes, std::string_view& line, std::size_t& taken) {
    std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos) return false;
    taken = newline + 1;
    line = bytes.substr(0, newline > 0 && bytes[newline - 1] == '\r' ? newline - 1 : newline);
    return true;
}

// True when `bytes` start with the g(i) weights line and the p(i) title: what
// must follow a name line.
bool weightsFollow(std::string_view bytes) {
    std::string_view line;
    std::size_t taken;
    Field fields[kWeightsG];
    if (!firstLine(bytes, line, taken) || !splitFields(line, kWeightSeparator, fields, kWeightsG)) return false;
    for (const Field& f : fields) {
        double ignored;
        if (!parseReal(f.text, f.length, ignored)) return false;
    }
    return firstLine(bytes.substr(taken), line, taken) && line == kWeightsPTitle;
}

// The name line when no name fits: read line by line, joining lines until one
// ends as a name line does, for the message that says what is wrong.
bool nameLineFault(ReportReader& r, std::string& error, const char* what) {
    Line first;
    if (!takeLine(r, first, error, what)) return false;
    if (first.text.substr(0, kNameStart.size()) != kNameStart) {
        return failAtLine(r, error, "se esperaba \"" + std::string(kNameStart) + "\"");
    }
    std::string text(first.text);
    while (text.size() < kNameEnd.size() ||
           text.compare(text.size() - kNameEnd.size(), kNameEnd.size(), kNameEnd) != 0) {
        if (text.size() > kNameStart.size() + kNameBytes + kNameEnd.size()) break;
        Line more;
        if (!takeLine(r, more, error, what)) return false;
        text += "\n";
        text.append(more.text);
    }
    if (text.size() > kNameStart.size() + kNameBytes + kNameEnd.size() && text.size() <= kMaxLineBytes &&
        text.compare(text.size() - kNameEnd.size(), kNameEnd.size(), kNameEnd) == 0) {
        return failAtLine(r, error, "nombre de zona de mas de 52 bytes");
    }
    return failAtLine(r, error, "se esperaba \"" + std::string(kNameStart) + "..." + std::string(kNameEnd) + "\"");
}

// The name line, which runs on into the g(i) header. A name may hold any
// byte but NUL, line breaks and the header's own text included, so its end
// is told by what must follow: the first length of at most 52 bytes after
// which the header and a line end stand, and then the g(i) weights line and
// the p(i) title. (No shorter false end can be followed by both: the weights
// line alone is longer than a name.) When none fits, the first such end is
// taken, so that the line after it gets the message.
bool readName(ReportReader& r, Section& section, std::string& error, const char* what) {
    const std::size_t lookahead = kNameStart.size() + kNameBytes + kNameEnd.size() + 2 + 2 * kMaxLineBytes;
    fillAtLeast(r, lookahead);
    std::string_view bytes(r.buffer.data() + r.begin, r.end - r.begin);
    if (bytes.substr(0, kNameStart.size()) != kNameStart) return nameLineFault(r, error, what);
    std::size_t chosen = std::string_view::npos;
    std::size_t chosenTaken = 0;
    for (std::size_t n = 0; n <= static_cast<std::size_t>(kNameBytes); ++n) {
        std::size_t at = kNameStart.size() + n;
        if (at > bytes.size() || (n > 0 && bytes[at - 1] == '\0')) break;  // a name holds no NUL
        if (bytes.compare(at, kNameEnd.size(), kNameEnd) != 0) continue;
        std::size_t eol = at + kNameEnd.size();
        std::size_t taken = bytes.compare(eol, 1, "\n") == 0     ? eol + 1
                            : bytes.compare(eol, 2, "\r\n") == 0 ? eol + 2
                                                                 : 0;
        if (taken == 0) continue;
        bool weights = weightsFollow(bytes.substr(taken));
        if (chosen == std::string_view::npos || weights) {
            chosen = n;
            chosenTaken = taken;
        }
        if (weights) break;
    }
    if (chosen == std::string_view::npos) return nameLineFault(r, error, what);
    section.name.assign(bytes.data() + kNameStart.size(), chosen);
    r.lineNumber += static_cast<long long>(
        std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(chosenTaken), '\n'));
    r.begin += chosenTaken;
    return true;
}

// The number of LF bytes in [p, end), eight bytes at a time.
std::size_t countLineEnds(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    std::size_t n = 0;
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        std::uint64_t x = w ^ (kOnes * '\n');
        std::uint64_t marks = ~(((x & kLows) + kLows) | x | kLows);   // the high bit of each LF byte
        n += static_cast<std::size_t>(((marks >> 7) * kOnes) >> 56);  // the marks, added up
    }
    for (; p < end; ++p) n += *p == '\n';
    return n;
}

// Takes the next `count` lines, as they stand (CR LF or LF ends), into the
// section's text. The bulk of every report, so the line ends are counted a
// block at a time and the lines copied in one piece.
bool collectLines(ReportReader& r, Section& section, int count, const char* what, std::string& error) {
    section.firstLine = r.lineNumber + 1;
    int left = count;
    while (left > 0) {
        if (r.begin == r.end && !refill(r)) {
            if (r.readError) return failAtLine(r, error, "error al leer el fichero");
            ++r.lineNumber;
            return failAtLine(r, error, std::string("el informe termina antes de tiempo (se esperaba ") + what + ")");
        }
        const char* start = r.buffer.data() + r.begin;
        const char* end = r.buffer.data() + r.end;
        const char* p = start;
        while (p < end && left > 0) {
            std::ptrdiff_t chunk = std::min<std::ptrdiff_t>(end - p, kLineChunk);
            auto lines = static_cast<int>(countLineEnds(p, p + chunk));
            // A chunk without a line end is within a line longer than any
            // the report writes: refused here, before the section's text
            // grows by it.
            if (lines == 0 && chunk == kLineChunk) {
                ++r.lineNumber;
                return failAtLine(r, error, "l\u00ednea demasiado larga");
            }
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
            if (r.readError) return failAtLine(r, error, "error al leer el fichero");
            ++r.lineNumber;
            return failAtLine(r, error,
                              r.begin < r.end
                                  ? std::string("el informe termina a mitad de l\u00ednea")
                                  : std::string("el informe termina antes de tiempo (se esperaba ") + what + ")");
        }
    }
    return true;
}

// The opening lines of a zone block after its first, as the grammar's
// table gives them.
bool readZoneOpening(ReportReader& r, Section& section, std::string& error) {
    for (int i = 1; i < kOpeningLines; ++i) {
        const OpeningLine& line = kBlockOpening[i];
        bool read = false;
        switch (line.shape) {
            case OpeningShape::fixed: read = expectLine(r, error, line); break;
            case OpeningShape::name: read = readName(r, section, error, line.what); break;
            case OpeningShape::weightsG: read = realsLine(r, error, line.what, kWeightSeparator, kWeightsG); break;
            case OpeningShape::weightsP: read = realsLine(r, error, line.what, kWeightSeparator, kWeightsP); break;
        }
        if (!read) return false;
    }
    return true;
}

}  // namespace

bool openReportFile(ReportReader& reader, const FileName& file, std::string& error) {
    std::error_code ignored;
    // A folder opens for reading on some systems, but it holds no report.
    std::FILE* opened = std::filesystem::is_directory(file.path, ignored) ? nullptr : openForReading(file.path);
    if (!opened) {
        error = displayFileName(file.text) + ": no se puede abrir (" +
                errorReason(std::filesystem::is_directory(file.path, ignored) ? EISDIR : errno) + ")";
        return false;
    }
    openReportStream(reader, opened, file.text);
    return true;
}

void openReportStream(ReportReader& reader, std::FILE* file, const std::string& fileName) {
    std::vector<char> buffer = std::move(reader.buffer);  // a reader used again keeps its buffer
    reader = ReportReader{};
    reader.fileName = fileName;
    reader.file = file;
    reader.buffer = std::move(buffer);
    reader.buffer.resize(kBufferBytes);
}

bool startsAsReport(ReportReader& reader, std::string& why) {
    fillAtLeast(reader, kTotalsTitle.size());
    std::string_view start(reader.buffer.data() + reader.begin, reader.end - reader.begin);
    for (std::string_view first : {kBlockOpening[0].text, kTotalsTitle}) {
        std::string_view head = first.substr(0, start.size());
        if (!start.empty() && start.substr(0, head.size()) == head) return true;
    }
    why = start.empty() ? "el fichero est\u00e1 vac\u00edo"
                        : "la l\u00ednea 1 no abre un bloque de zona ni la secci\u00f3n de totales";
    return false;
}

namespace {

// Reads a section's hourly lines as text; when they end short, a line the
// grammar does not put there among those taken is named instead: a line
// break lost runs two lines into one, and the section then ends short.
ReadResult collectSectionLines(ReportReader& reader, Section& section, int count, const char* what,
                               std::string& error) {
    if (collectLines(reader, section, count, what, error)) return ReadResult::section;
    if (!reader.readError) namedFaultyLine(reader.fileName, section, error);
    return ReadResult::error;
}

}  // namespace

ReadResult readReportSection(ReportReader& reader, Section& section, std::string& error) {
    Line line;
    bool ended = false;
    if (!nextLine(reader, line, ended)) {
        if (reader.readError) return failAtLine(reader, error, "error al leer el fichero"), ReadResult::error;
        if (reader.totalsRead) return ReadResult::end;
        ++reader.lineNumber;
        failAtLine(reader, error,
                   reader.lineNumber == 1 ? "el fichero est\u00e1 vac\u00edo, no es un informe"
                                          : "el informe termina antes de la secci\u00f3n de totales");
        return ReadResult::error;
    }
    if (reader.totalsRead) return failAtLine(reader, error, "texto tras el final del informe"), ReadResult::error;
    if (!ended) return failAtLine(reader, error, "el informe termina a mitad de l\u00ednea"), ReadResult::error;

    section.name.clear();
    section.text.clear();
    section.values.clear();
    section.zone = -1;  // a report names its zones, not their numbers
    if (line.text == kBlockOpening[0].text) {
        section.totals = false;
        section.block = ++reader.blocks;
        if (!readZoneOpening(reader, section, error)) return ReadResult::error;
        // The hourly lines and the extremes line.
        return collectSectionLines(reader, section, kHoursPerYear + 1, "una l\u00ednea horaria", error);
    }
    if (line.text == kTotalsTitle) {
        section.totals = true;
        section.block = 0;
        reader.totalsRead = true;
        return collectSectionLines(reader, section, kHoursPerYear, "una l\u00ednea de totales", error);
    }
    failAtLine(reader, error,
               reader.lineNumber == 1 ? "no es un informe de zoneloads"
                                      : "se esperaba un bloque de zona o la secci\u00f3n de totales");
    return ReadResult::error;
}

void closeReportFile(ReportReader& reader) {
    if (reader.file) std::fclose(reader.file);
    reader.file = nullptr;
}

std::FILE* takeReportFile(ReportReader& reader) {
    std::FILE* file = reader.file;
    reader.file = nullptr;
    return file;
}

}  // namespace zoneloads
