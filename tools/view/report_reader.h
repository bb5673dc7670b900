// Reads a report written by zoneloads, one section (zone block or totals) at
// a time, so that memory stays bounded by one section whatever the report's
// size. The report's layout is described in doc/formats.md; every line that
// is not what the layout puts there is an error naming its line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zoneloads {
namespace view {

constexpr int kHours = 8760;

// The peaks, sums and counts of one section's sensible load. Hours whose Qs
// is not a number are left out of all of them and counted in `nanHours`.
struct Summary {
    double maxPos = 0;        // largest Qs above 0 (QsREF), 0 when none
    std::string maxPosText;   // as the report writes it; "0" when none
    int maxPosHour = -1;      // hour of its first occurrence; -1 when none
    double minNeg = 0;        // smallest Qs below 0 (QsCAL), 0 when none
    std::string minNegText;
    int minNegHour = -1;
    double sumPosWh = 0;      // sums of the hourly watts, in Wh
    double sumNegWh = 0;
    double sumQLWh = 0;
    int hoursPos = 0;
    int hoursNeg = 0;
    int nanHours = 0;
    double monthPosWh[12] = {};
    double monthNegWh[12] = {};
};

// One zone block, or the totals section (block 0, no name).
struct Section {
    bool totals = false;
    int block = 0;        // 1-based position of a zone block in its report
    std::string name;     // the zone's name, its bytes as in the report
    std::string text;     // the section's hourly lines (and extremes line), each ended by LF
    long long firstLine = 0;  // the report's line number of the first line of `text`
    // Set by parseSection:
    std::vector<double> qs = std::vector<double>(kHours);  // Qs of each hour (the sum, for the totals)
    Summary summary;
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
bool openReportFile(ReportReader& reader, const std::string& fileName, std::string& error);

// Reads the next section into `section`: its heading lines, checked, and
// its hourly lines as text, for parseSection. Returns `end` after the totals
// section when nothing follows it, and `error` (with a one-line message
// naming the file and the line) for a report that is cut or malformed.
ReadResult readSection(ReportReader& reader, Section& section, std::string& error);

// Parses the hourly lines that readSection took and sets the section's Qs
// and summary; false, with a message naming the file and the line, for a
// line that is not what the report's layout puts there. Needs nothing of
// the reader, so it may run on another thread while the next section is read.
bool parseSection(const std::string& fileName, Section& section, std::string& error);

// Closes the report's file.
void closeReportFile(ReportReader& reader);

// The start of hour h of a 365-day year, as "21 jul 15:00".
std::string hourDate(int hour);

// The month (0 to 11) of hour h.
int hourMonth(int hour);

}  // namespace view
}  // namespace zoneloads
