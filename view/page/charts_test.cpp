#include "view/page/charts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace zoneloads {
namespace view {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Every value gets the colour of its sign: 0 white, NaN grey, above 0 the
// cooling hue, below 0 the heating hue, stronger as it nears the scale.
TEST(CarpetIndex, OneColourPerSignAndStrengthByMagnitude) {
    double levels = kCarpetLevels / 1000.0;  // a scale of 1000 W
    EXPECT_EQ(carpetIndex(0.0, levels), 0);
    EXPECT_EQ(carpetIndex(-0.0, levels), 0);
    EXPECT_EQ(carpetIndex(kNan, levels), 1);
    for (double v : {0.001, 1.0, 500.0, 1000.0, kInf}) {
        EXPECT_GE(carpetIndex(v, levels), 2) << v;
        EXPECT_LE(carpetIndex(v, levels), 1 + kCarpetLevels) << v;
        EXPECT_GE(carpetIndex(-v, levels), 2 + kCarpetLevels) << v;
        EXPECT_LE(carpetIndex(-v, levels), 1 + 2 * kCarpetLevels) << v;
    }
    EXPECT_EQ(carpetIndex(0.001, levels), 2);                   // the faintest step, never white
    EXPECT_EQ(carpetIndex(1000.0, levels), 1 + kCarpetLevels);  // the scale itself: the strongest
    EXPECT_EQ(carpetIndex(kInf, levels), 1 + kCarpetLevels);
    EXPECT_LT(carpetIndex(250.0, levels), carpetIndex(750.0, levels));
    EXPECT_EQ(carpetIndex(5.0, 0), 1 + kCarpetLevels);  // a scale of 0: every non-zero value is strongest
}

// The day of a peak: its 24 hours from midnight, each with the figures under
// the pointer, and the date in the caption.
TEST(PeakDay, TheWholeDayOfThePeak) {
    SectionHours hours;
    hours.qs.resize(kHoursPerYear);
    hours.ql.assign(kHoursPerYear, 0);
    hours.treal.assign(kHoursPerYear, 21);
    hours.tmax.assign(kHoursPerYear, 25);
    hours.tmin.assign(kHoursPerYear, 20);
    for (int h = 0; h < kHoursPerYear; ++h) hours.qs[static_cast<std::size_t>(h)] = h;
    std::string html = peakDayHtml(hours, 4741, "refrigeraci&oacute;n");  // 17 Jul 13:00
    std::size_t tips = 0;
    for (std::size_t at = html.find("class=\"pd-tip\""); at != std::string::npos;
         at = html.find("class=\"pd-tip\"", at + 1))
        ++tips;
    EXPECT_EQ(tips, 24u);
    EXPECT_NE(html.find("<title>17 jul 00:00: Qs 4728 W, Treal 21, Tmax 25, Tmin 20 &deg;C</title>"),
              std::string::npos);
    EXPECT_NE(html.find("<title>17 jul 23:00: Qs 4751 W,"), std::string::npos);
    EXPECT_NE(html.find("D&iacute;a de la punta de refrigeraci&oacute;n, 17 jul:"), std::string::npos);
    EXPECT_EQ(peakDayHtml(hours, -1, "QsCAL"), "");  // no peak, no day
}

// The drawn curve's y coordinates only go down the chart (up in SVG units).
TEST(DurationCurve, NeverRises) {
    std::vector<double> qs(kHoursPerYear);
    for (int h = 0; h < kHoursPerYear; ++h) qs[static_cast<std::size_t>(h)] = std::sin(h * 0.37) * 900 + (h % 11);
    std::string svg = durationCurveHtml(qs);
    std::size_t start = svg.find("points=\"");
    ASSERT_NE(start, std::string::npos);
    start += 8;
    std::string list = svg.substr(start, svg.find('"', start) - start);
    double lastY = -1;
    int count = 0;
    for (std::size_t at = 0; at < list.size();) {
        std::size_t comma = list.find(',', at);
        std::size_t space = list.find(' ', comma);
        double y = std::stod(list.substr(comma + 1, space - comma - 1));
        EXPECT_GE(y, lastY) << "point " << count;
        lastY = y;
        ++count;
        at = space + 1;
    }
    EXPECT_GT(count, 300);
}

// The grid's steps are 1, 2 or 5 times a power of ten, and the frame's range
// widens to whole steps that hold every value.
TEST(ChartFrame, AxisStepsCoverTheRange) {
    EXPECT_EQ(niceStep(100, 5), 20);
    EXPECT_EQ(niceStep(1, 5), 0.2);
    EXPECT_EQ(niceStep(47000, 5), 10000);
    EXPECT_EQ(niceStep(0, 5), 1);
    EXPECT_EQ(niceStep(kInf, 5), 1);
    const std::pair<double, double> ranges[] = {{-253.6, 872.5}, {0, 0}, {-1e-3, 0}, {12, 14000}, {-43011, -5}};
    for (const auto& range : ranges) {
        Chart c{range.first, range.second};
        std::string svg = chartFrame(c, "y", "x");
        EXPECT_LE(c.low, range.first);
        EXPECT_GE(c.high, range.second);
        EXPECT_LT(c.low, c.high);
        double step = niceStep(c.high - c.low, 5);
        EXPECT_LE((c.high - c.low) / step, 10.5) << range.first;
        EXPECT_EQ(svg.find("<svg"), 0u);
    }
}

// Every axis ends, whatever its values: equal and huge (a record filled with
// one byte), of any size, reversed or not numbers at all; a day of such
// temperatures is drawn with a bounded right axis.
TEST(ChartFrame, EveryAxisEndsForAnyValues) {
    const std::pair<double, double> ranges[] = {{1e16, 1e16},     {3.4e38, 3.4e38}, {-3.4e38, 3.4e38}, {1e-45, 1e-45},
                                                {0, 1e-45},       {5, -5},          {kNan, 1},         {-kInf, kInf},
                                                {1e16, 1e16 + 2}, {-1e30, -1e30}};
    for (const auto& range : ranges) {
        AxisSteps axis = axisSteps(range.first, range.second, 5);
        EXPECT_GE(axis.count, 1) << range.first;
        EXPECT_LE(axis.count, kMaxAxisSteps) << range.first;
        EXPECT_LT(axis.low, axis.high) << range.first;
    }
    SectionHours hours;
    hours.qs.assign(kHoursPerYear, 1e16);
    hours.ql.assign(kHoursPerYear, 0);
    hours.treal.assign(kHoursPerYear, 1.00000002e16);
    hours.tmax = hours.treal;
    hours.tmin = hours.treal;
    std::string html = peakDayHtml(hours, 0, "QsREF");
    std::size_t labels = 0;
    for (std::size_t at = html.find("class=\"yr\""); at != std::string::npos; at = html.find("class=\"yr\"", at + 1)) {
        ++labels;
    }
    EXPECT_GE(labels, 2u);
    EXPECT_LE(labels, static_cast<std::size_t>(kMaxAxisSteps) + 1);
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
