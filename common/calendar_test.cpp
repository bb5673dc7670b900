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

TEST(HourDate, ForSpreadsheets) {
    EXPECT_EQ(hourDayMonth(0), "01/01 00:00");
    EXPECT_EQ(hourDayMonth(1416), "01/03 00:00");
    EXPECT_EQ(hourDayMonth(8759), "31/12 23:00");
    EXPECT_EQ(hourFullDate(4741), "17/07/2018 13:00");
    EXPECT_EQ(spreadsheetDate(0), 43101.0);  // 1 January 2018, a Monday, in a spreadsheet's count
    EXPECT_EQ(spreadsheetDate(1416), 43160.0);
    EXPECT_EQ(spreadsheetDate(8759), 43465.0 + 23.0 / 24.0);
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
