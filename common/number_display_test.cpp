#include "common/number_display.h"

#include <gtest/gtest.h>

#include <limits>

namespace zoneloads {
namespace {

// Fixed decimals after a decimal comma, thousands grouped by a point from
// four digits on, as a spreadsheet in a Spanish locale shows "#,##0.0".
TEST(SpanishNumber, FixedDecimalsAndGroupedThousands) {
    EXPECT_EQ(spanishNumber(382138.4, 0), "382.138");
    EXPECT_EQ(spanishNumber(382.1384, 1), "382,1");
    EXPECT_EQ(spanishNumber(2890.8, 1), "2.890,8");
    EXPECT_EQ(spanishNumber(1247.96, 1), "1.248,0");
    EXPECT_EQ(spanishNumber(999.96, 1), "1.000,0");  // rounding carries into a new group
    EXPECT_EQ(spanishNumber(720070, 0), "720.070");
    EXPECT_EQ(spanishNumber(1234567890.5, 0), "1.234.567.891");
    EXPECT_EQ(spanishNumber(12, 2), "12,00");
    EXPECT_EQ(spanishNumber(0.25, 2), "0,25");
    // A half away from 0, as a spreadsheet shows it, on the value's own text:
    // 0.15 is a little below it as a double, 2504.5 a tie.
    EXPECT_EQ(spanishNumber(-4741.25, 1), "-4.741,3");
    EXPECT_EQ(spanishNumber(2504.5, 0), "2.505");
    EXPECT_EQ(spanishNumber(0.15, 1), "0,2");
    EXPECT_EQ(spanishNumber(0.949, 1), "0,9");
    EXPECT_EQ(spanishNumber(5e-324, 2), "0,00");
    EXPECT_EQ(spanishNumber(-0.3, 1), "-0,3");
    EXPECT_EQ(spanishNumber(1e20, 0), "100.000.000.000.000.000.000");
    EXPECT_EQ(spanishNumber(2505.3, 0, "\u202F"), "2\u202F505");  // another separator, for whoever needs it
}

// What rounds to 0 has no sign; what is no finite number reads as the
// tables always wrote it.
TEST(SpanishNumber, ZeroAndWhatIsNoNumber) {
    EXPECT_EQ(spanishNumber(-0.04, 1), "0,0");
    EXPECT_EQ(spanishNumber(-0.0, 0), "0");
    EXPECT_EQ(spanishNumber(-0.4, 0), "0");
    EXPECT_EQ(spanishNumber(0, 1), "0,0");
    EXPECT_EQ(spanishNumber(std::numeric_limits<double>::infinity(), 1), "inf");
    EXPECT_EQ(spanishNumber(-std::numeric_limits<double>::infinity(), 0), "-inf");
    EXPECT_EQ(spanishNumber(std::numeric_limits<double>::quiet_NaN(), 1), "nan");
    EXPECT_EQ(spanishNumber(std::numeric_limits<double>::max(), 0).size(), 309u + 102u);  // digits and points
}

}  // namespace
}  // namespace zoneloads
