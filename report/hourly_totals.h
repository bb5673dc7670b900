// Hour-by-hour sums of the sensible and latent loads over every zone block of
// a report, closing the report with the totals section.
#pragma once

#include "common/calendar.h"
#include "common/output_file.h"
#include "common/types.h"

namespace zoneloads {

// Four single-precision sums per hour; each addition is rounded to float32,
// so the totals are the same whatever the platform.
struct HourlyTotals {
    float32 sumQs[kHoursPerYear];
    float32 sumQL[kHoursPerYear];
    float32 sumQsNeg[kHoursPerYear];  // Qs not above 0 (a NaN counts here)
    float32 sumQsPos[kHoursPerYear];  // Qs above 0

    // Sets every sum of every hour to 0.
    void clear();

    // Adds one zone's loads of hour `hour` (0 to kHoursPerYear - 1): Qs to
    // the sensible sum and to its positive or non-positive part, QL to the
    // latent.
    void add(int hour, float32 Qs, float32 QL);

    // Adds one zone's loads of every hour, in hour order: `Qs` and `QL` hold
    // kHoursPerYear values each.
    void addZone(const float32* Qs, const float32* QL);

    // Writes the totals section: its title, then one line per hour (sum,
    // latent, non-positive part, positive part).
    void writeSection(OutputFile& out) const;
};

}  // namespace zoneloads
