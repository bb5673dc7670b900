// The hourly values of a section as the page holds them for its script:
// every value exactly as the report writes it, in few bytes, so that a page
// of a thousand zones opens at once and the script draws a zone's pictures
// only when they are shown. The format is doc/formats.md's "The page's
// values"; the script reads it (script/values.js, hourValues).
#pragma once

#include <string>
#include <vector>

namespace zoneloads {
namespace view {

// How one series is held: as decimal integers over a power of ten, or as
// float32 when some value is not a short decimal (or not finite).
enum class SeriesCode : unsigned char { decimal = 0, float32 = 1 };

// The most decimals of a decimal series (its power of ten fits a double
// exactly, and the script divides by the same).
constexpr int kMostDecimals = 9;

// The series, each of kHoursPerYear values, encoded and compressed, in base64.
std::string encodeHourValues(const std::vector<const std::vector<double>*>& series);

// `bytes` in base64, as the page holds its values.
std::string base64(const std::string& bytes);

// How a series would be held, and for a decimal series the power of ten its
// integers are over (`decimals`: value = integer / 10^decimals, exactly as a
// reader divides).
SeriesCode seriesCode(const std::vector<double>& values, int& decimals);

}  // namespace view
}  // namespace zoneloads
