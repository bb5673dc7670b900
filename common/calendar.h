// The year of the hourly series: 8,760 hours of a 365-day year, hour 0 the
// first hour of 1 January. Every hourly series, every hourly sum and every
// date shown for an hour follows this calendar.
#pragma once

#include <string>

namespace zoneloads {

constexpr int kHoursPerDay = 24;
constexpr int kDaysPerYear = 365;
constexpr int kHoursPerYear = 8760;
static_assert(kHoursPerYear == kDaysPerYear * kHoursPerDay, "a year of whole days");
constexpr int kMonthsPerYear = 12;

// The number of days of month m (0 for January .. 11).
int monthDays(int month);

// The day of the year (0 ..) on which month m starts.
int monthStartDay(int month);

// The month's short Spanish name, as "ene" .. "dic".
const char* monthName(int month);

// The month (0 to 11) of hour h (0 to kHoursPerYear - 1).
int hourMonth(int hour);

// The day of the month (1 to 31) of hour h.
int hourDayOfMonth(int hour);

// The first hour of the day of hour h.
int dayStart(int hour);

// The start of hour h as "21 jul 15:00".
std::string hourDate(int hour);

// The day of hour h as "21 jul".
std::string hourDay(int hour);

// The start of hour h as "21/07 15:00".
std::string hourDayMonth(int hour);

// The year that spreadsheets give the hours: one of 365 days that starts on
// a Monday, like the sample building's.
constexpr int kSpreadsheetYear = 2018;

// The start of hour h as "21/07/2018 15:00", in kSpreadsheetYear.
std::string hourFullDate(int hour);

// The start of hour h as a spreadsheet's date and time: days since 30
// December 1899, in kSpreadsheetYear.
double spreadsheetDate(int hour);

}  // namespace zoneloads
