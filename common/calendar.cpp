#include "common/calendar.h"

#include <cstdio>

namespace zoneloads {
namespace {

const int kMonthDays[kMonthsPerYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const char* const kMonthNames[kMonthsPerYear] = {"ene", "feb", "mar", "abr", "may", "jun",
                                                 "jul", "ago", "sep", "oct", "nov", "dic"};

// The month of every day of the year, found once.
struct DayMonths {
    unsigned char month[kDaysPerYear];
    int start[kMonthsPerYear];
    DayMonths() : month(), start() {
        int day = 0;
        for (int m = 0; m < kMonthsPerYear; ++m) {
            start[m] = day;
            for (int d = 0; d < kMonthDays[m]; ++d) month[day++] = static_cast<unsigned char>(m);
        }
    }
};
const DayMonths kDayMonths;

}  // namespace

int monthDays(int month) { return kMonthDays[month]; }

int monthStartDay(int month) { return kDayMonths.start[month]; }

const char* monthName(int month) { return kMonthNames[month]; }

int hourMonth(int hour) { return kDayMonths.month[hour / kHoursPerDay]; }

int hourDayOfMonth(int hour) { return hour / kHoursPerDay - monthStartDay(hourMonth(hour)) + 1; }

std::string hourDate(int hour) {
    char text[32];
    std::snprintf(text, sizeof text, "%d %s %02d:00", hourDayOfMonth(hour), monthName(hourMonth(hour)),
                  hour % kHoursPerDay);
    return text;
}

int dayStart(int hour) { return hour - hour % kHoursPerDay; }

std::string hourDay(int hour) { return std::to_string(hourDayOfMonth(hour)) + " " + monthName(hourMonth(hour)); }

std::string hourDayMonth(int hour) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d %02d:00", hourDayOfMonth(hour), hourMonth(hour) + 1,
                  hour % kHoursPerDay);
    return text;
}

std::string hourFullDate(int hour) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%d %02d:00", hourDayOfMonth(hour), hourMonth(hour) + 1,
                  kSpreadsheetYear, hour % kHoursPerDay);
    return text;
}

double spreadsheetDate(int hour) {
    constexpr int kFirstDay = 43101;  // 1 January 2018
    return kFirstDay + hour / kHoursPerDay + (hour % kHoursPerDay) / 24.0;
}

}  // namespace zoneloads
