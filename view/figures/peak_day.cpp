#include "view/figures/peak_day.h"

namespace zoneloads {
namespace view {

PeakDay peakDay(const SectionHours& hours, int hour) {
    PeakDay day;
    if (hour < 0) return day;
    day.firstHour = dayStart(hour);
    for (int h = 0; h < kHoursPerDay; ++h) {
        auto at = static_cast<std::size_t>(day.firstHour + h);
        day.qs[h] = hours.qs[at];
        day.ql[h] = hours.ql[at];
        if (hours.treal.empty()) continue;
        day.treal[h] = hours.treal[at];
        day.tmax[h] = hours.tmax[at];
        day.tmin[h] = hours.tmin[at];
    }
    return day;
}

}  // namespace view
}  // namespace zoneloads
