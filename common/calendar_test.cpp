#include "common/calendar.h"

#include <gtest/gtest.h>

namespace zoneloads {
namespace {

TEST(HourDate, StartOfTheHourInSpanish) {
    EXPECT_EQ(hourDate(0), "1 ene 00:00");
    EXPECT_EQ(hourDate(201 * 24 + 15), "21 jul 15:00");
    EXPECT_EQ(hourDate(59 * 24), "1 mar 00:00");  // a 365-day year
    EXPECT_EQ(hourDate(8759), "31 dic 23:00");
}

TEST(Calendar, MonthsCoverTheYearInOrder) {
    int hours = 0;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        EXPECT_EQ(monthStartDay(m) * kHoursPerDay, hours) << m;
        EXPECT_EQ(hourMonth(hours), m);
        EXPECT_EQ(hourDayOfMonth(hours), 1);
        hours += monthDays(m) * kHoursPerDay;
        EXPECT_EQ(hourMonth(hours - 1), m);
        EXPECT_EQ(hourDayOfMonth(hours - 1), monthDays(m));
    }
    EXPECT_EQ(hours, kHoursPerYear);
    EXPECT_STREQ(monthName(0), "ene");
    EXPECT_STREQ(monthName(11), "dic");
}

}  // namespace
}  // namespace zoneloads
