// Reads a report written by zoneloads, one section (zone block or totals) at
// a time, so that memory stays bounded by one section whatever the report's
// size. Every line is checked against the report's grammar (report_format.h,
// whose line readers this uses); a line that is not what the grammar puts
// there is an error naming the file and the line. A section is read in two
// steps: readSection takes its opening lines and collects its hourly lines
// as text, on the thread that reads the file; readSectionHours reads those
// lines into values, on any thread.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_name.h"
#include "common/types.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// One zone block, or the totals section (block 0, no name), as text or as
// values: a section of a report that was never written (the report of all
// zones of a zone results file) comes as the float32 values that the report
// would print, kHoursPerYear of each series: a zone block's in the order of
// ZoneValues, the totals' in the order of TotalsValues.
struct Section {
    bool totals = false;
    int block = 0;                // 1-based position of a zone block in its report
    std::string name;             // the zone's name, its bytes as in the report
    std::string text;             // the hourly lines (and a block's extremes line), as they stand
    long long firstLine = 0;      // the report's line number of the first line of `text`
    std::vector<float32> values;  // the values instead of the text; empty for a section of text
};

// The series of a zone block's values: those of the zone's record, in its
// order (kLoadSeries of them).
enum ZoneValues { kValuesQs, kValuesQL, kValuesTreal, kValuesTmax, kValuesTmin };
// The series of the totals' values: the columns of a totals line.
enum TotalsValues { kValuesSumQs, kValuesSumQL, kValuesSumQsNeg, kValuesSumQsPos };
constexpr int kTotalsSeries = 4;

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
// Nothing is taken: readSection then reads the report from its start. When
// not, `why` says why in words for a message ("el fichero esta vacio").
bool startsAsReport(ReportReader& reader, std::string& why);

// Reads the next section into `section`: its opening lines, checked, and
// its hourly lines as text. Returns `end` after the totals section when
// nothing follows it, and `error` (with a one-line message naming the file
// and the line) for a report that is cut or malformed.
ReadResult readSection(ReportReader& reader, Section& section, std::string& error);

// Closes the report's file.
void closeReportFile(ReportReader& reader);

// Gives the caller the reader's open file, to read it another way and close
// it; the reader is left closed.
std::FILE* takeReportFile(ReportReader& reader);

// A section's hourly values, as the report writes them: each the double of
// the report's text ("6933.1" is 6933.1, not the float32 nearest to it).
struct SectionHours {
    std::vector<double> qs;     // Qs [W]; for the totals, the sum of Qs
    std::vector<double> ql;     // QL [W]; for the totals, the sum of QL
    std::vector<double> treal;  // a zone block's temperatures [C]; empty for the totals
    std::vector<double> tmax;
    std::vector<double> tmin;
    std::vector<double> qsNeg;  // the totals' sum of Qs not above 0; empty for a zone block
    std::vector<double> qsPos;  // the totals' sum of Qs above 0; empty for a zone block
};

// Reads the lines that readSection collected into `hours`, every column
// checked: a real of the grammar, or an int32 for daCal and daRef. False,
// with a message naming the file and the line, for a line the grammar does
// not put there. A section of values gives each value the double of the
// text the report prints for it, as reading that text would. Needs nothing
// of the reader, so it may run on another thread while the next section is
// read; `hours` may be reused from section to section without fresh memory.
bool readSectionHours(const std::string& fileName, const Section& section, SectionHours& hours, std::string& error);

}  // namespace zoneloads
