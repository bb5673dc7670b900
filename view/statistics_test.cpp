#include "view/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "report/report.h"
#include "testkit/zone_files.h"
#include "view/compare.h"
#include "view/summary_table.h"

namespace zoneloads {
namespace view {
namespace {

class StatisticsTest : public testkit::ScratchDir {
protected:
    // The figures of every section of the report of `zones`, in order, the
    // totals last.
    std::vector<SectionFigures> figuresOf(const std::vector<const ZoneRecord*>& zones,
                                          const std::string& report = "r.txt") {
        testkit::writeZoneFile("zones.bin", static_cast<int32>(zones.size()), zones);
        ZoneSelection selection;
        for (std::size_t i = 0; i < zones.size(); ++i) selection.slots.push_back(static_cast<int32>(i));
        std::string error;
        EXPECT_TRUE(writeReport("zones.bin", report, selection, error)) << error;
        ReportReader reader;
        std::vector<SectionFigures> all;
        EXPECT_TRUE(openReportFile(reader, report, error)) << error;
        Section section;
        while (readSection(reader, section, error) == ReadResult::section) {
            all.emplace_back();
            EXPECT_TRUE(readFigures(report, section, all.back(), error)) << error;
        }
        closeReportFile(reader);
        return all;
    }

    // The summary rows of the report `report` of `zones`, as the
    // viewer makes them: the blocks', then the totals row.
    std::vector<SummaryRow> rowsOf(const std::vector<const ZoneRecord*>& zones, const std::string& report) {
        std::vector<SectionFigures> f = figuresOf(zones, report);
        std::vector<SummaryRow> rows;
        for (std::size_t i = 0; i + 1 < f.size(); ++i) {
            rows.push_back(summaryRow(report, zones[i]->name, static_cast<int>(i) + 1, f[i].summary));
        }
        SummaryRow totals = summaryRow(report, "", 0, f.back().summary);
        addZoneFigures(totals, rows);
        rows.push_back(totals);
        return rows;
    }
};

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
    std::vector<SectionFigures> f = figuresOf({zone.get()});
    ASSERT_EQ(f.size(), 2u);
    const Summary& s = f[0].summary;
    EXPECT_TRUE(s.temperatures);
    EXPECT_EQ(s.hoursAbove, 7);
    EXPECT_DOUBLE_EQ(s.degreeHoursAbove, 14.0);
    EXPECT_EQ(s.hoursBelow, 3);
    EXPECT_DOUBLE_EQ(s.degreeHoursBelow, 1.5);
    EXPECT_FALSE(f[1].summary.temperatures);  // the totals hold no temperature
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
    std::vector<SectionFigures> f = figuresOf({a.get(), b.get()});
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].summary.maxQLText, "450.5");
    EXPECT_EQ(f[0].summary.maxQLHour, 300);
    EXPECT_EQ(f[0].summary.maxTotal, 560);
    EXPECT_EQ(f[0].summary.maxTotalHour, 301);
    EXPECT_EQ(f[1].summary.maxTotal, 0.001);
    EXPECT_EQ(f[1].summary.maxTotalHour, 301);
    // The building: 560.001 at hour 301 (sum of Qs 560, sum of QL 0.001).
    EXPECT_EQ(f[2].summary.maxQLText, "450.5");
    EXPECT_NEAR(f[2].summary.maxTotal, 560.001, 1e-9);
    EXPECT_EQ(f[2].summary.maxTotalHour, 301);

    SummaryRow zoneA = summaryRow("r.txt", "A", 1, f[0].summary);
    SummaryRow zoneB = summaryRow("r.txt", "B", 2, f[1].summary);
    SummaryRow totals = summaryRow("r.txt", "", 0, f[2].summary);
    addZoneFigures(totals, {zoneA, zoneB});
    EXPECT_EQ(totals.worstBlock, 2);
    std::vector<std::string> fields = csvFields(totals);
    EXPECT_EQ(
        std::vector<std::string>(fields.begin() + 16, fields.end()),
        (std::vector<std::string>{"450.5", "13/01 12:00", "560.001", "13/01 13:00", "8760", "0", "43800", "0", "2"}));
}

// The day of a peak, as the page draws it and the workbook lists it: the 24
// hours from its midnight, the zone's values as the report has them.
TEST_F(StatisticsTest, PeakDayProfile) {
    auto zone = testkit::makeZone("Z", 1);
    zone->Qs[4741] = 5000;  // 17 Jul 13:00, far above the rest
    std::vector<SectionFigures> f = figuresOf({zone.get()});
    ASSERT_EQ(f[0].summary.maxPosHour, 4741);
    PeakDay day = peakDay(f[0], f[0].summary.maxPosHour);
    EXPECT_EQ(day.firstHour, 4728);
    for (int h = 0; h < kHoursPerDay; ++h) {
        int hour = 4728 + h;
        EXPECT_EQ(day.qs[h], hour == 4741 ? 5000 : (hour % 7 - 3) * 50 + 1) << h;
        EXPECT_EQ(day.ql[h], hour % 5 * 10) << h;
        EXPECT_EQ(day.treal[h], 20 + (hour % 10) / 2.0 + 1) << h;
        EXPECT_EQ(day.tmax[h], 25);
        EXPECT_EQ(day.tmin[h], 20);
    }
    // The building's day holds its loads; it has no temperatures.
    PeakDay building = peakDay(f[1], f[1].summary.maxPosHour);
    EXPECT_EQ(building.firstHour, 4728);
    EXPECT_EQ(building.qs[13], 5000);
    EXPECT_EQ(building.treal[13], 0);
    EXPECT_EQ(peakDay(f[0], -1).firstHour, -1);  // no peak, no day
}

// Two designs that differ in one zone by a known amount, the zones in
// another order and a name repeated: each zone meets its own, the
// difference is in the changed zone and in the building only.
TEST_F(StatisticsTest, TwoReportsDifferingInOneZone) {
    auto a = testkit::makeZone("Aula", 1);
    auto b = testkit::makeZone("Aula", 2);
    auto c = testkit::makeZone("Sala", 3);
    std::vector<SummaryRow> base = rowsOf({a.get(), b.get(), c.get()}, "base.txt");
    c->Qs[4741] = 9000;  // the variant's Sala: -47 W at 17 Jul 13:00 in the base
    std::vector<SummaryRow> variant = rowsOf({c.get(), a.get(), b.get()}, "variante.txt");
    Pairing pairing = pairRows(base, variant);
    EXPECT_TRUE(pairingWarnings(pairing).empty());
    ASSERT_EQ(pairing.pairs.size(), 4u);
    const std::vector<std::string> header = differenceHeader();
    auto field = [&](std::size_t pair, const std::string& column) {
        std::vector<std::string> fields = differenceFields("variante.txt", pairing.pairs[pair]);
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == column) return fields[i];
        }
        return std::string("no column ") + column;
    };
    // Aula meets the first Aula, the second the second, Sala its Sala.
    EXPECT_EQ(field(0, "bloque_variante"), "2");
    EXPECT_EQ(field(1, "bloque_variante"), "3");
    EXPECT_EQ(field(2, "bloque_variante"), "1");
    for (std::size_t pair : {0u, 1u}) {
        EXPECT_EQ(field(pair, "QsREF_max[W]_dif"), "0");
        EXPECT_EQ(field(pair, "Qs_pos[kWh]_dif"), "0");
    }
    EXPECT_EQ(field(2, "QsREF_max[W]_base"), "153");
    EXPECT_EQ(field(2, "QsREF_max[W]_variante"), "9000");
    EXPECT_EQ(field(2, "QsREF_max[W]_dif"), "8847");
    EXPECT_EQ(field(2, "Qs_pos[kWh]_dif"), "9");      // one hour of 9000 W more above 0
    EXPECT_EQ(field(2, "Qs_neg[kWh]_dif"), "0.047");  // and 47 W less below
    EXPECT_EQ(field(3, "zona"), "EDIFICIO");
    EXPECT_EQ(field(3, "QsREF_max[W]_variante"), "8903");  // 9000 and the Aulas' -49 and -48 at that hour
    EXPECT_EQ(field(3, "Qs_pos[kWh]_dif"), "9");
    EXPECT_EQ(field(3, "QsCAL_max[W]_dif"), "0");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
