// Reads a report written by zoneloads, one section (zone block or totals) at
// a time, so that memory stays bounded by one section whatever the report's
// size. Every line is checked against the report's grammar (report_format.h,
// whose line readers this uses); a line that is not what the grammar puts
// there is an error naming the file and the line. A section is read in two
// steps: readReportSection takes its opening lines and collects its hourly lines
// as text, on the thread that reads the file; readSectionHours
// (section_hours.h) reads those lines into values, on any thread.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_name.h"
#include "common/types.h"
#include "reportfile/section_hours.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

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

// Whether the report's first bytes are those a report starts with: the first
// line of a zone block or of the totals, or as much of it as the file holds.
// Nothing is taken: readReportSection then reads the report from its start. When
// not, `why` says why in words for a message ("el fichero esta vacio").
bool startsAsReport(ReportReader& reader, std::string& why);

// Reads the next section into `section`: its opening lines, checked, and
// its hourly lines as text. Returns `end` after the totals section when
// nothing follows it, and `error` (with a one-line message naming the file
// and the line) for a report that is cut or malformed.
ReadResult readReportSection(ReportReader& reader, Section& section, std::string& error);

// Closes the report's file.
void closeReportFile(ReportReader& reader);

// Gives the caller the reader's open file, to read it another way and close
// it; the reader is left closed.
std::FILE* takeReportFile(ReportReader& reader);

}  // namespace zoneloads
