// The report file, written through one large buffer in binary mode: every
// line ends in CR LF on every platform, and the bytes go out in big blocks.
// The file itself is a ReplacedFile: a run that fails at any point leaves an
// existing report as it was and creates none.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/replaced_file.h"
#include "report/block_writer.h"

namespace zoneloads {

// The longest line the report writes (the 24 weights of g(i)) is about 320
// bytes; every line is assembled in place with at least this much room, and
// endLine asserts that it stayed within it.
constexpr std::size_t kMaxLineBytes = 512;
constexpr std::size_t kReportBufferBytes = 1024 * 1024;

struct ReportOutput {
    ReplacedFile target;
    std::vector<char> buffer;  // the block being filled
    std::size_t used = 0;
    BlockWriter writer;
    bool failed = false;  // a write failed: the report is incomplete
};

// Opens the report for writing (see above); false when it cannot be opened.
bool openReport(ReportOutput& out, const std::string& fileName);

// Where the next line may be assembled: room for kMaxLineBytes characters.
char* lineStart(ReportOutput& out);

// Ends the line assembled from lineStart() up to `end` with CR LF.
void endLine(ReportOutput& out, char* end);

// Writes `length` bytes as they are (whole lines, with their line ends).
void writeBytes(ReportOutput& out, const char* bytes, std::size_t length);

// Writes `text` as a whole line.
void writeTextLine(ReportOutput& out, const char* text);

// Writes what is buffered, closes the file and puts it in place of the
// report; false, with the temporary file removed, if any of it failed.
bool closeReport(ReportOutput& out);

// Closes the file without completing the report: a temporary file is
// removed, so an existing report keeps its bytes.
void abandonReport(ReportOutput& out);

// Copies a string literal, without its NUL, to `at` and returns the end.
template <std::size_t N>
inline char* appendText(char* at, const char (&text)[N]) {
    std::memcpy(at, text, N - 1);
    return at + N - 1;
}

}  // namespace zoneloads
