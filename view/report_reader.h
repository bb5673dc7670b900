// Reads a report written by zoneloads, one section (zone block or totals) at
// a time, so that memory stays bounded by one section whatever the report's
// size. The lines are checked against the report's grammar
// (reportfile/report_format.h) as they are read; every line that is not what
// the grammar puts there is an error naming its line. The hourly lines of a
// section are only collected here, as text: statistics.h reads them.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_name.h"

namespace zoneloads {
namespace view {

// One zone block, or the totals section (block 0, no name).
struct Section {
    bool totals = false;
    int block = 0;            // 1-based position of a zone block in its report
    std::string name;         // the zone's name, its bytes as in the report
    std::string text;         // the hourly lines (and a block's extremes line), as they stand
    long long firstLine = 0;  // the report's line number of the first line of `text`
};

// The report being read: its file and the line reached.
struct ReportReader {
    std::FILE* file = nullptr;
    std::string fileName;
    std::vector<char> buffer;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool atEnd = false;        // the file has no more bytes to read
    bool readError = false;    // reading the file failed
    long long lineNumber = 0;  // of the last line taken
    int blocks = 0;            // zone blocks read so far
    bool totalsRead = false;
};

enum class ReadResult { section, end, error };

// Opens the report; false (with a message in `error`) when it cannot be.
bool openReportFile(ReportReader& reader, const FileName& file, std::string& error);

// Reads the report from `file`, already open, named `fileName` in messages;
// the reader closes it.
void openReportStream(ReportReader& reader, std::FILE* file, const std::string& fileName);

// Reads the next section into `section`: its opening lines, checked, and
// its hourly lines as text. Returns `end` after the totals section when
// nothing follows it, and `error` (with a one-line message naming the file
// and the line) for a report that is cut or malformed.
ReadResult readSection(ReportReader& reader, Section& section, std::string& error);

// Closes the report's file.
void closeReportFile(ReportReader& reader);

// The line that starts at `p` in a section's text, without its line end;
// `next` is set to where the line after it starts.
std::string_view sectionLine(const Section& section, const char* p, const char*& next);

}  // namespace view
}  // namespace zoneloads
