#include "view/figures/peak_day.h"

#include <gtest/gtest.h>

#include "view/figures/report_sections_test.h"

namespace zoneloads {
namespace view {
namespace {

class PeakDayTest : public ReportSectionsTest {};

// The day of a peak, as the page draws it and the workbook lists it: the 24
// hours from its midnight, the zone's values as the report has them.
TEST_F(PeakDayTest, TheDayOfAPeakFromItsMidnight) {
    auto zone = testkit::makeZone("Z", 1);
    zone->Qs[4741] = 5000;  // 17 Jul 13:00, far above the rest
    std::vector<ReadSection> r = sectionsOf({zone.get()});
    ASSERT_EQ(r[0].figures.qsRef.hour, 4741);
    PeakDay day = peakDay(r[0].hours, r[0].figures.qsRef.hour);
    EXPECT_EQ(day.firstHour, 4728);
    for (int h = 0; h < kHoursPerDay; ++h) {
        int hour = 4728 + h;
        EXPECT_EQ(day.qs[h], hour == 4741 ? 5000 : (hour % 7 - 3) * 50 + 1) << h;
        EXPECT_EQ(day.ql[h], hour % 5 * 10) << h;
        EXPECT_EQ(day.treal[h], 20 + (hour % 10) / 2.0 + 1) << h;
        EXPECT_EQ(day.tmax[h], 25);
        EXPECT_EQ(day.tmin[h], 20);
    }
    // The building's day holds its loads; it has no temperatures.
    PeakDay building = peakDay(r[1].hours, r[1].figures.qsRef.hour);
    EXPECT_EQ(building.firstHour, 4728);
    EXPECT_EQ(building.qs[13], 5000);
    EXPECT_EQ(building.treal[13], 0);
    EXPECT_EQ(peakDay(r[0].hours, -1).firstHour, -1);  // no peak, no day
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
