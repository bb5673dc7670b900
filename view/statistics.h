// The figures of one section of a report: its sensible load hour by hour and
// the peaks, sums and counts the page and the tables show, read from the
// section's hourly lines.
#pragma once

#include <string>
#include <vector>

#include "common/calendar.h"
#include "view/report_reader.h"

namespace zoneloads {
namespace view {

// The peaks, sums and counts of one section's sensible load. Hours whose Qs
// is not a number are left out of all of them and counted in `nanHours`.
struct Summary {
    double maxPos = 0;       // largest Qs above 0 (QsREF), 0 when none
    std::string maxPosText;  // as the report writes it; "0" when none
    int maxPosHour = -1;     // hour of its first occurrence; -1 when none
    double minNeg = 0;       // smallest Qs below 0 (QsCAL), 0 when none
    std::string minNegText;
    int minNegHour = -1;
    double sumPosWh = 0;  // sums of the hourly watts, in Wh
    double sumNegWh = 0;
    double sumQLWh = 0;
    int hoursPos = 0;
    int hoursNeg = 0;
    int nanHours = 0;
    double monthPosWh[kMonthsPerYear] = {};
    double monthNegWh[kMonthsPerYear] = {};
    double monthQLWh[kMonthsPerYear] = {};
    // The latent peak: the largest QL above 0, as the report writes it, and
    // its first hour, over the hours whose QL is a number.
    double maxQL = 0;
    std::string maxQLText;  // "0" when none
    int maxQLHour = -1;
    // The total peak: the largest Qs + QL above 0 and its first hour, over
    // the hours where both are numbers.
    double maxTotal = 0;
    int maxTotalHour = -1;
    // Temperatures (zone blocks only), over the hours where Treal, Tmax and
    // Tmin are all numbers: hours with Treal above Tmax and below Tmin, and
    // their degree-hours (the sum of each hour's excess, in K h).
    bool temperatures = false;
    int hoursAbove = 0;
    int hoursBelow = 0;
    double degreeHoursAbove = 0;
    double degreeHoursBelow = 0;
};

// What a section's hourly lines give: each hour's values, as the report
// writes them, and the summary.
struct SectionFigures {
    using Hours = std::vector<double>;
    Hours qs = Hours(kHoursPerYear);  // Qs (the sum of Qs, for the totals)
    Hours ql = Hours(kHoursPerYear);  // QL (the sum of QL)
    Hours neg;                        // the totals' sum of Qs not above 0 (empty for a zone block)
    Hours pos;                        // the totals' sum of Qs above 0 (empty for a zone block)
    Hours treal;                      // a zone block's temperatures (empty for the totals)
    Hours tmax;
    Hours tmin;
    Summary summary;
};

// The text of a value the report wrote (a float32 as formatFloat32 writes it).
std::string reportText(double value);

// The 24 hours of the day of hour h, from the first hour of that day.
int dayStart(int hour);

// Reads the hourly lines that readSection collected into `figures`; false,
// with a message naming the file and the line, for a line that is not what
// the report's grammar puts there. Needs nothing of the reader, so it may
// run on another thread while the next section is read.
bool readFigures(const std::string& fileName, const Section& section, SectionFigures& figures, std::string& error);

}  // namespace view
}  // namespace zoneloads
