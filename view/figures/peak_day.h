// The day of a peak: the 24 hours, from midnight, of the day a section
// reaches its QsREF or QsCAL peak, as the page draws it and the workbook
// lists it.
#pragma once

#include "common/calendar.h"
#include "reportfile/report_reader.h"

namespace zoneloads {
namespace view {

struct PeakDay {
    int firstHour = -1;  // the day's first hour; -1 for a section without that peak
    double qs[kHoursPerDay] = {};
    double ql[kHoursPerDay] = {};
    double treal[kHoursPerDay] = {};  // a zone block's temperatures; 0 for the building
    double tmax[kHoursPerDay] = {};
    double tmin[kHoursPerDay] = {};
};

// The day of hour `hour` of the section's hours (none when it is negative).
PeakDay peakDay(const SectionHours& hours, int hour);

}  // namespace view
}  // namespace zoneloads
