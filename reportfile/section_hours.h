// A section of a report and its hours: the lines that the report's reader
// collected (report_reader.h), or the values of a report never written, read
// into the values the report prints, on any thread.
#pragma once

#include <string>
#include <vector>

#include "common/types.h"
#include "reportfile/report_format.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// One zone block, or the totals section (block 0, no name), as text or as
// values: a section of a report that was never written (the report of all
// zones of a zone results file) comes as the float32 values that the report
// would print, kHoursPerYear of each series: a zone block's kViewedSeries in
// the order of Series, the totals' in the order of TotalsSeries.
struct Section {
    bool totals = false;
    int block = 0;                // 1-based position of a zone block in its report
    int zone = -1;                // a zone block's 0-based number in its zone results file, as zoneloads lists
                                  // it; -1 in a report, which holds no zone numbers
    std::string name;             // the zone's name, its bytes as in the report
    std::string text;             // the hourly lines (and a block's extremes line), as they stand
    long long firstLine = 0;      // the report's line number of the first line of `text`
    std::vector<float32> values;  // the values instead of the text; empty for a section of text
};

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

// Reads the lines that readReportSection collected into `hours`, every column
// checked: a real of the grammar, or an int32 for daCal and daRef. False,
// with a message naming the file and the line, for a line the grammar does
// not put there. A section of values gives each value the double of the
// text the report prints for it, as reading that text would. Needs nothing
// of the reader, so it may run on another thread while the next section is
// read; `hours` may be reused from section to section without fresh memory.
bool readSectionHours(const std::string& fileName, const Section& section, SectionHours& hours, std::string& error);

// The message of every fault found at a line of a report, "FILE, linea N:
// WHAT" (with the accent): the file's name shown safely (displayFileName), so
// that a name holding control bytes cannot act on a terminal.
std::string reportLineMessage(const std::string& fileName, long long line, const std::string& what);

// When one of the lines that the section's text holds, all whole lines (a
// section cut short), is not what the grammar puts there, names the first
// such in `error`; true then.
bool namedFaultyLine(const std::string& fileName, const Section& section, std::string& error);

}  // namespace zoneloads
