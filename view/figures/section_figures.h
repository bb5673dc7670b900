// The figures of one section of a report, a zone block or the building (the
// totals section): its peaks, energies, counts and monthly energies, and for
// a zone block its hours outside the set points, and their computation
// from the section's hours (statistics.cpp).
#pragma once

#include <string>

#include "common/calendar.h"
#include "reportfile/section_hours.h"

namespace zoneloads {
namespace view {

// A peak of an hourly series and the first hour it is reached.
struct Peak {
    double value = 0;        // as the report writes it; 0 when there is none
    std::string text = "0";  // how the tables write it
    int hour = -1;           // -1 when there is none
};

struct SectionFigures {
    Peak qsRef;  // the largest Qs above 0: the cooling peak, QsREF (text: the report's)
    Peak qsCal;  // the smallest Qs below 0: the heating peak, QsCAL (text: the report's)
    Peak ql;     // the largest QL above 0 (text: the report's)
    Peak total;  // the largest Qs + QL above 0, over the hours where both are numbers (text: six digits)
    // Energies in Wh: the sums of the hourly watts, each hour counting one
    // hour. A zone block splits its own Qs by sign; the building takes the
    // totals section's positive and non-positive sums.
    double qsPosWh = 0;
    double qsNegWh = 0;
    double qlWh = 0;
    double monthQsPosWh[kMonthsPerYear] = {};
    double monthQsNegWh[kMonthsPerYear] = {};
    double monthQLWh[kMonthsPerYear] = {};
    int hoursQsPos = 0;  // hours with Qs above 0
    int hoursQsNeg = 0;  // hours with Qs below 0
    int nanHours = 0;    // hours whose Qs is no number: left out of all the above
    // The section's own Qs split by sign, in Wh, over the hours counted
    // above: for a zone block the same as qsPosWh and qsNegWh; for the
    // building its net load, the zones' loads added hour by hour first.
    double qsNetPosWh = 0;
    double qsNetNegWh = 0;
    // The building only: in each hour, the part of its loads where some
    // zones are cooled while others are heated, min(sum of Qs above 0,
    // |sum of Qs not above 0|) from the totals section: what heat recovery
    // could move from one to the other. Its energy in Wh, its hours (above
    // 0), by month, and its peak (text: six digits).
    bool building = false;
    double simultaneousWh = 0;
    int hoursSimultaneous = 0;
    double monthSimultaneousWh[kMonthsPerYear] = {};
    Peak simultaneous;
    // A zone block's temperatures, over the hours where Treal, Tmax and Tmin
    // are all numbers: hours with Treal above Tmax, or below Tmin, by more
    // than `tolerance`, and their degree-hours (each such hour's excess over
    // its set point added up, in K h).
    bool temperatures = false;
    double tolerance = 0;  // K
    int hoursAbove = 0;
    int hoursBelow = 0;
    double degreeHoursAbove = 0;
    double degreeHoursBelow = 0;
};

// The set-point tolerance of the hours outside, unless one is given, in K:
// simulation practice counts an hour as not met only beyond a few tenths of
// a kelvin, which hides the noise of a set point held to within its step.
constexpr double kDefaultTolerance = 0.2;

// The figures of a section from its hours: a zone block's when `hours` holds
// temperatures, the building's when it holds the totals' parts. An hour is
// outside its set points when Treal passes Tmax, or falls below Tmin, by
// more than `tolerance` K (an hour exactly at Tmax + tolerance is inside).
SectionFigures sectionFigures(const SectionHours& hours, double tolerance = kDefaultTolerance);

}  // namespace view
}  // namespace zoneloads
