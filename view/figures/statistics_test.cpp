#include "view/figures/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "view/figures/report_sections_test.h"
#include "view/tables/csv.h"

namespace zoneloads {
namespace view {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

class StatisticsTest : public ReportSectionsTest {};

// testkit's known zones A and B, in a report of A, B, A.
TEST_F(StatisticsTest, PeaksSumsAndCountsOfEveryBlockAndOfTheBuilding) {
    auto zones = testkit::makeKnownZones("A");
    std::vector<ReadSection> r = sectionsOf({zones[0].get(), zones[1].get()}, "r.txt", {0, 1, 0});
    ASSERT_EQ(r.size(), 4u);
    const SectionFigures& fa = r[0].figures;
    EXPECT_EQ(fa.qsRef.text, "1000.25");
    EXPECT_EQ(fa.qsRef.hour, 5000);
    EXPECT_EQ(fa.qsCal.text, "-250.5");
    EXPECT_EQ(fa.qsCal.hour, 300);
    EXPECT_DOUBLE_EQ(fa.qsPosWh, 2000.25);
    EXPECT_DOUBLE_EQ(fa.qsNegWh, -250.5);
    EXPECT_DOUBLE_EQ(fa.qlWh, 87600);
    EXPECT_EQ(fa.hoursQsPos, 3);
    EXPECT_EQ(fa.hoursQsNeg, 1);
    EXPECT_EQ(fa.monthQsPosWh[0], 1000.0);  // hours 100 and 200 are in January
    const SectionFigures& fb = r[1].figures;
    EXPECT_EQ(fb.qsRef.text, "0");  // no hour above 0: no peak
    EXPECT_EQ(fb.qsRef.hour, -1);
    EXPECT_EQ(fb.qsCal.hour, 10);  // the first of equal peaks
    EXPECT_EQ(fb.nanHours, 10);
    EXPECT_DOUBLE_EQ(fb.qlWh, 2.0 * (kHoursPerYear - 10));  // a NaN hour is left out of every sum
    // The building takes its energies from the totals' parts, its peaks from their sum.
    const SectionFigures& building = r[3].figures;
    EXPECT_FALSE(building.temperatures);
    EXPECT_EQ(building.qsRef.text, "1999.5");
    EXPECT_EQ(building.qsRef.hour, 5000);
    EXPECT_EQ(building.qsCal.text, "-502");
    EXPECT_EQ(building.nanHours, 10);
    EXPECT_EQ(building.hoursQsNeg, 8747);
    EXPECT_DOUBLE_EQ(building.qsPosWh, 4000.5);
    EXPECT_NEAR(building.qsNegWh, -9251, 1e-9);
}

// A zone whose set points it leaves by known amounts: above Tmax by 2 K for
// exactly 7 hours, below Tmin by 0.5 K for 3 hours, with NaN hours that
// count neither way.
TEST_F(StatisticsTest, HoursAndDegreeHoursOutsideTheSetPoints) {
    auto zone = testkit::makeZone("Z", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        zone->Tmax[h] = 25;
        zone->Tmin[h] = 20;
        zone->Treal[h] = 22;
    }
    for (int h : {100, 101, 102, 103, 104, 105, 4000}) zone->Treal[h] = 27;
    for (int h : {10, 11, 12}) zone->Treal[h] = 19.5f;
    zone->Treal[5000] = std::numeric_limits<float>::quiet_NaN();
    zone->Tmax[5001] = std::numeric_limits<float>::quiet_NaN();
    zone->Treal[5001] = 99;  // its Tmax is no number: not counted
    zone->Tmin[5002] = std::numeric_limits<float>::quiet_NaN();
    zone->Treal[5002] = -99;
    zone->Treal[6000] = 25;  // at Tmax, not above
    std::vector<ReadSection> r = sectionsOf({zone.get()});
    ASSERT_EQ(r.size(), 2u);
    const SectionFigures& f = r[0].figures;
    EXPECT_TRUE(f.temperatures);
    EXPECT_EQ(f.hoursAbove, 7);
    EXPECT_DOUBLE_EQ(f.degreeHoursAbove, 14.0);
    EXPECT_EQ(f.hoursBelow, 3);
    EXPECT_DOUBLE_EQ(f.degreeHoursBelow, 1.5);
    EXPECT_FALSE(r[1].figures.temperatures);  // the totals hold no temperature
}

// An hour where Treal, Tmax or Tmin is no number counts neither way, even
// when the other two are far apart; an hour whose Qs is no number is left
// out of every figure, the latent peak and the hours outside included.
TEST_F(StatisticsTest, HoursThatAreNotANumberAreLeftOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct Case {
        const char* what;
        float (ZoneRecord::*nanAllYear)[kHoursPerYear];  // nullptr: none
        float treal;
        int above, below;
    } cases[] = {
        {"all numbers, Treal above Tmax", nullptr, 30, kHoursPerYear - 2, 0},
        {"Tmin NaN, Treal above Tmax", &ZoneRecord::Tmin, 30, 0, 0},
        {"Tmax NaN, Treal below Tmin", &ZoneRecord::Tmax, 10, 0, 0},
        {"Treal NaN", &ZoneRecord::Treal, 22, 0, 0},
    };
    for (const Case& c : cases) {
        auto zone = testkit::makeZone("Z", 0);
        for (int h = 0; h < kHoursPerYear; ++h) {
            zone->Tmax[h] = 25;
            zone->Tmin[h] = 20;
            zone->Treal[h] = c.treal;
            zone->QL[h] = 10;
            if (c.nanAllYear) ((*zone).*c.nanAllYear)[h] = nan;
        }
        // Two hours whose Qs is no number: one with the largest QL, one with Treal far above Tmax.
        zone->Qs[50] = zone->Qs[60] = nan;
        zone->QL[50] = 9999;
        zone->Treal[60] = 99;
        zone->Tmax[60] = zone->Tmin[60] = 20;
        std::vector<ReadSection> r = sectionsOf({zone.get()});
        const SectionFigures& f = r[0].figures;
        EXPECT_EQ(f.hoursAbove, c.above) << c.what;
        EXPECT_EQ(f.hoursBelow, c.below) << c.what;
        EXPECT_EQ(f.nanHours, 2) << c.what;
        EXPECT_EQ(f.ql.text, "10") << c.what;
        EXPECT_EQ(f.ql.hour, 0) << c.what;
        EXPECT_DOUBLE_EQ(f.qlWh, 10.0 * (kHoursPerYear - 2)) << c.what;
    }
}

// The tolerance: an hour exactly at Tmax + tolerance (or Tmin - tolerance),
// as the report writes it, is inside; beyond it the degree-hours count the
// whole excess over the set point; tolerance 0 counts strictly.
TEST_F(StatisticsTest, HoursOutsideCountOnlyBeyondTheTolerance) {
    auto zone = testkit::makeZone("Z", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        zone->Tmax[h] = 25;
        zone->Tmin[h] = 20;
        zone->Treal[h] = 22;
    }
    zone->Treal[10] = 25.2f;  // at Tmax + 0.2 K: inside
    zone->Treal[11] = 25.3f;  // beyond: 0.3 K h
    zone->Treal[12] = 25.1f;  // within: inside
    zone->Treal[20] = 19.8f;  // at Tmin - 0.2 K: inside
    zone->Treal[21] = 19.5f;  // beyond: 0.5 K h
    std::vector<ReadSection> r = sectionsOf({zone.get()});
    const SectionFigures& f = r[0].figures;
    EXPECT_EQ(f.tolerance, 0.2);
    EXPECT_EQ(f.hoursAbove, 1);
    EXPECT_NEAR(f.degreeHoursAbove, 0.3, 1e-12);
    EXPECT_EQ(f.hoursBelow, 1);
    EXPECT_NEAR(f.degreeHoursBelow, 0.5, 1e-12);
    const SectionFigures strict = sectionFigures(r[0].hours, 0);
    EXPECT_EQ(strict.hoursAbove, 3);
    EXPECT_NEAR(strict.degreeHoursAbove, 0.6, 1e-12);
    EXPECT_EQ(strict.hoursBelow, 2);
    const SectionFigures wide = sectionFigures(r[0].hours, 1);
    EXPECT_EQ(wide.hoursAbove + wide.hoursBelow, 0);

    // Tolerance 0 counts every excess, however small, over a set point of 0 too.
    auto cold = testkit::makeZone("Z", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        cold->Tmax[h] = cold->Tmin[h] = cold->Treal[h] = 0;
    }
    cold->Treal[7] = 1e-10f;
    cold->Treal[8] = -1e-10f;
    const SectionFigures tiny = sectionFigures(sectionsOf({cold.get()}, "cold.txt")[0].hours, 0);
    EXPECT_EQ(tiny.hoursAbove, 1);
    EXPECT_EQ(tiny.hoursBelow, 1);
}

// Two zones, one cooled by 100 W in hours 0 to 9, the other heated by 40 W
// in hours 5 to 14: in hours 5 to 9 heat recovery could move 40 W. The
// building's own net energies differ from the zones' summed ones.
TEST_F(StatisticsTest, SimultaneousHeatingAndCoolingAndNetEnergies) {
    auto cooled = testkit::makeZone("Frio", 0);
    auto heated = testkit::makeZone("Calor", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        cooled->Qs[h] = h < 10 ? 100 : 0;
        heated->Qs[h] = h >= 5 && h < 15 ? -40 : 0;
        cooled->QL[h] = heated->QL[h] = 0;
    }
    std::vector<SummaryRow> rows = rowsOf({cooled.get(), heated.get()}, "r.txt");
    ASSERT_EQ(rows.size(), 3u);
    const SectionFigures& b = rows[2].figures;
    EXPECT_TRUE(b.building);
    EXPECT_DOUBLE_EQ(b.simultaneousWh, 5 * 40);
    EXPECT_EQ(b.hoursSimultaneous, 5);
    EXPECT_DOUBLE_EQ(b.monthSimultaneousWh[0], 200);
    EXPECT_EQ(b.simultaneous.value, 40);
    EXPECT_EQ(b.simultaneous.hour, 5);  // the first of equal peaks
    // Summed over the zones: 1000 Wh of cooling, 400 of heating. The
    // building's net load: +100 W for 5 h, +60 W for 5 h, -40 W for 5 h.
    EXPECT_DOUBLE_EQ(b.qsPosWh, 1000);
    EXPECT_DOUBLE_EQ(b.qsNegWh, -400);
    EXPECT_DOUBLE_EQ(b.qsNetPosWh, 800);
    EXPECT_DOUBLE_EQ(b.qsNetNegWh, -200);
    EXPECT_EQ(b.hoursQsPos, 10);
    EXPECT_EQ(b.hoursQsNeg, 5);
    // A zone has no simultaneous part; its net energies are its own.
    EXPECT_EQ(rows[0].figures.simultaneousWh, 0);
    EXPECT_DOUBLE_EQ(rows[1].figures.qsNetNegWh, -400);
    std::vector<std::string> csv = testkit::reportLines(scriptCsv(rows, {}));
    EXPECT_NE(csv[3].find(",0.8,-0.2,"), std::string::npos) << csv[3];              // net energies in kWh
    EXPECT_NE(csv[3].find(",0.2,5,40,01/01 05:00,"), std::string::npos) << csv[3];  // simultaneous
}

// The latent peak and the total (Qs + QL) peak, of a zone and of the
// building, and the zone block the building row names for its hours outside.
TEST_F(StatisticsTest, LatentAndTotalPeaks) {
    auto a = testkit::makeZone("A", 0);
    auto b = testkit::makeZone("B", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        a->Qs[h] = b->Qs[h] = 0;
        a->QL[h] = b->QL[h] = 0;
        b->Treal[h] = 30;  // above its Tmax of 25 all year
    }
    a->QL[300] = 450.5f;
    a->Qs[300] = 100;
    a->Qs[301] = 560;  // the largest Qs + QL of A: 560 at hour 301, above 450.5 + 100 at hour 300
    b->QL[301] = 1e-3f;
    b->QL[7000] = std::numeric_limits<float>::quiet_NaN();
    b->Qs[7000] = 9999;  // its QL is no number: no total at that hour
    std::vector<SummaryRow> rows = rowsOf({a.get(), b.get()}, "r.txt");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].figures.ql.text, "450.5");
    EXPECT_EQ(rows[0].figures.ql.hour, 300);
    EXPECT_EQ(rows[0].figures.total.value, 560);
    EXPECT_EQ(rows[0].figures.total.hour, 301);
    EXPECT_EQ(rows[1].figures.total.value, 0.001);
    EXPECT_EQ(rows[1].figures.total.hour, 301);
    // The building: 560.001 at hour 301 (sum of Qs 560, sum of QL 0.001).
    const SummaryRow& building = rows[2];
    EXPECT_EQ(building.figures.ql.text, "450.5");
    EXPECT_NEAR(building.figures.total.value, 560.001, 1e-9);
    EXPECT_EQ(building.figures.total.text, "560.001");
    EXPECT_EQ(building.figures.total.hour, 301);
    EXPECT_EQ(building.worstBlock, 2);
    EXPECT_EQ(temperatureFigures(building).hoursAbove, 8760);
    EXPECT_DOUBLE_EQ(temperatureFigures(building).degreeHoursAbove, 43800);
    EXPECT_EQ(building.zoneHoursAbove, 8760);
    EXPECT_EQ(building.zonePeaksQsRef, 560 + 9999);
}

TEST(SortedDescending, NeverRisesAndLeavesNaNOut) {
    std::vector<double> values = {3, -1, kNan, 0, 250.5, -kInf, 7, kInf, -0.0, 1e-7, -3e5};
    std::vector<double> sorted = sortedDescending(values);
    ASSERT_EQ(sorted.size(), values.size() - 1);
    for (std::size_t i = 1; i < sorted.size(); ++i) EXPECT_GE(sorted[i - 1], sorted[i]) << i;
    EXPECT_EQ(sorted.front(), kInf);
    EXPECT_EQ(sorted.back(), -kInf);
}

// The factor is undefined (NaN, an empty cell) when the zones have no such
// peak or their peaks are infinite; a building peak of 0 is a factor of 0.
TEST(Simultaneity, BuildingPeakOverTheSumOfZonePeaks) {
    EXPECT_DOUBLE_EQ(simultaneity(480, 500), 0.96);
    EXPECT_EQ(simultaneity(0, 500), 0);
    for (auto [building, zones] : {std::pair{0.0, 0.0}, {kInf, kInf}, {5.0, kInf}, {kInf, 5.0}, {-0.0, -0.0}}) {
        EXPECT_TRUE(std::isnan(simultaneity(building, zones))) << building << " " << zones;
    }
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
