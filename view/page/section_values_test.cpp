#include "view/page/section_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "view/figures/statistics.h"
#include "view/page/hour_values.h"

namespace zoneloads {
namespace view {
namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

// The figures sit where the script looks for them: the peaks' hours, then
// the months of Qs > 0 and Qs < 0 in kWh, an infinite month as "inf", a
// tie at the sixth digit to even as every table writes it.
TEST(SectionValues, FiguresAtTheirPositions) {
    SectionFigures f;
    f.qsRef.hour = 4741;
    f.qsCal.hour = -1;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        f.monthQsPosWh[m] = 1000.0 * (m + 1);
        f.monthQsNegWh[m] = -2000.0 * (m + 1);
    }
    f.monthQsNegWh[1] = -kInf;
    f.monthQsPosWh[5] = 123454500;
    std::vector<std::string> list = words(figuresText(f));
    ASSERT_EQ(list.size(), static_cast<std::size_t>(kFigureFields));
    EXPECT_EQ(list[kCoolingPeakField], "4741");
    EXPECT_EQ(list[kHeatingPeakField], "-1");
    EXPECT_EQ(list[kCoolingMonthsField + 11], "12");
    EXPECT_EQ(list[kHeatingMonthsField], "-2");
    EXPECT_EQ(list[kHeatingMonthsField + 1], "-inf");
    EXPECT_EQ(list[kCoolingMonthsField + 5], "123454");
    EXPECT_EQ(sectionLayouts(),
              "figureFields:{coolingPeak:0,heatingPeak:1,coolingMonths:2,heatingMonths:14,count:26},"
              "zoneSeries:{qs:0,ql:1,treal:2,tmax:3,tmin:4,band:5},buildingSeries:{qs:0,ql:1,simultaneous:2},"
              "comparedSeries:{base:0,variant:1}");
}

// Each hour's band: inside exactly when the hour is not counted outside,
// then a step per quarter kelvin up to the last, on its side; no number is 1.
TEST(SectionValues, TemperatureBandsAsTheHoursAreCounted) {
    SectionHours hours;
    hours.qs.assign(kHoursPerYear, 0);
    hours.ql.assign(kHoursPerYear, 0);
    hours.tmax.assign(kHoursPerYear, 25);
    hours.tmin.assign(kHoursPerYear, 20);
    hours.treal.assign(kHoursPerYear, 22);
    const double treal[] = {25.2, 25.2000001, 25.3, 25.5, 25.51, 28.9, 29, 29.1, kInf, 19.8, 19.7, 10, -kInf, kNan};
    const double band[] = {0, 2, 3, 3, 4, 17, 17, 17, 17, 0, 19, 33, 33, 1};
    for (std::size_t h = 0; h < std::size(treal); ++h) hours.treal[h] = treal[h];
    hours.tmax[20] = kNan;
    std::vector<double> bands = temperatureBands(hours, 0.2);
    ASSERT_EQ(bands.size(), static_cast<std::size_t>(kHoursPerYear));
    for (std::size_t h = 0; h < std::size(band); ++h) EXPECT_EQ(bands[h], band[h]) << "Treal " << treal[h];
    EXPECT_EQ(bands[20], 1);
    SectionFigures f = sectionFigures(hours, 0.2);
    int above = 0, below = 0;
    for (double b : bands) {
        above += b >= 2 && b < 2 + kTemperatureLevels;
        below += b >= 2 + kTemperatureLevels;
    }
    EXPECT_EQ(above, f.hoursAbove);
    EXPECT_EQ(below, f.hoursBelow);
    EXPECT_EQ(temperatureBands(hours, 0)[0], 2);  // with no tolerance every excess counts
}

// The series of each kind of section in their order, the building's third
// its simultaneous heating and cooling.
TEST(SectionValues, SeriesInTheirOrder) {
    SectionHours zone;
    for (std::vector<double>* s : {&zone.qs, &zone.ql, &zone.treal, &zone.tmax, &zone.tmin}) {
        s->assign(kHoursPerYear, 0);
    }
    for (int h = 0; h < kHoursPerYear; ++h) {
        auto at = static_cast<std::size_t>(h);
        zone.qs[at] = h % 7 - 3.5;
        zone.ql[at] = h % 3;
        zone.treal[at] = 20 + h % 11;
        zone.tmax[at] = 27;
        zone.tmin[at] = 21;
    }
    std::vector<double> bands = temperatureBands(zone, 0.5);
    EXPECT_EQ(zoneValues(zone, 0.5),
              encodeHourValues({&zone.qs, &zone.ql, &zone.treal, &zone.tmax, &zone.tmin, &bands}));

    SectionHours building = zone;
    building.qsPos.assign(kHoursPerYear, 300);
    building.qsNeg.assign(kHoursPerYear, -120.5);
    building.qsNeg[7] = kNan;
    std::vector<double> simultaneous(kHoursPerYear, 120.5);
    simultaneous[7] = 0;
    EXPECT_EQ(buildingValues(building), encodeHourValues({&building.qs, &building.ql, &simultaneous}));
    EXPECT_EQ(comparedValues(zone.qs, zone.ql), encodeHourValues({&zone.qs, &zone.ql}));
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
