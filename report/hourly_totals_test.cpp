#include "report/hourly_totals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace zoneloads {
namespace {

TEST(HourlyTotals, SplitsTheSensibleLoadBySign) {
    auto totals = std::make_unique<HourlyTotals>();
    totals->clear();
    totals->add(5, 100.0f, 3.0f);
    totals->add(5, -40.0f, 4.5f);
    totals->add(5, 0.0f, 1.0f);  // zero counts with the non-positive part
    EXPECT_EQ(totals->sumQs[5], 60.0f);
    EXPECT_EQ(totals->sumQL[5], 8.5f);
    EXPECT_EQ(totals->sumQsNeg[5], -40.0f);
    EXPECT_EQ(totals->sumQsPos[5], 100.0f);
    EXPECT_EQ(totals->sumQs[4], 0.0f);
}

TEST(HourlyTotals, NanGoesIntoTheNonPositivePart) {
    auto totals = std::make_unique<HourlyTotals>();
    totals->clear();
    totals->add(0, std::nanf(""), 0.0f);
    EXPECT_TRUE(std::isnan(totals->sumQsNeg[0]));
    EXPECT_EQ(totals->sumQsPos[0], 0.0f);
}

TEST(HourlyTotals, SumsInSinglePrecision) {
    auto totals = std::make_unique<HourlyTotals>();
    totals->clear();
    // 2^24 + 1 is not a float32: in single precision the 1 is lost.
    totals->add(0, 16777216.0f, 0.0f);
    totals->add(0, 1.0f, 0.0f);
    EXPECT_EQ(totals->sumQs[0], 16777216.0f);
}

}  // namespace
}  // namespace zoneloads
