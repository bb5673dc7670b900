#include "view/compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zoneloads {
namespace view {
namespace {

// A zone block (block > 0) or a totals row (block 0) with a QsREF peak.
SummaryRow row(const std::string& report, int block, const std::string& zone, double maxPos) {
    Summary s;
    s.maxPos = maxPos;
    s.sumPosWh = maxPos * 10;
    return summaryRow(report, zone, block, s);
}

// Names pair blocks whatever their order; a repeated name pairs its first
// block with the other's first, its second with the second; the buildings
// come last; what has no partner is left alone and warned of.
TEST(Pairing, ByNameInOrderOfOccurrence) {
    std::vector<SummaryRow> base = {row("b.txt", 1, "Sala", 100), row("b.txt", 2, "Aula", 200),
                                    row("b.txt", 3, "Aula", 300), row("b.txt", 4, "Patio", 1),
                                    row("b.txt", 0, "", 600)};
    std::vector<SummaryRow> variant = {row("v.txt", 1, "Aula", 210), row("v.txt", 2, "Sala", 90),
                                       row("v.txt", 3, "Aula", 330), row("v.txt", 4, "Aula", 5),
                                       row("v.txt", 0, "", 620)};
    Pairing pairing = pairRows(base, variant);
    ASSERT_EQ(pairing.pairs.size(), 4u);
    auto blocks = [&](std::size_t i) {
        return std::make_pair(pairing.pairs[i].base->block, pairing.pairs[i].variant->block);
    };
    EXPECT_EQ(blocks(0), std::make_pair(1, 2));
    EXPECT_EQ(blocks(1), std::make_pair(2, 1));
    EXPECT_EQ(blocks(2), std::make_pair(3, 3));
    EXPECT_EQ(blocks(3), std::make_pair(0, 0));
    EXPECT_EQ(pairingWarnings(pairing),
              (std::vector<std::string>{"b.txt: bloque 4 (Patio) sin zona del mismo nombre en la variante",
                                        "v.txt: bloque 4 (Aula) sin zona del mismo nombre en la base"}));
}

// A known difference comes out as base, variant, difference and percent of
// the base; a base of zero has no percent.
TEST(Difference, FieldsOfAPair) {
    SummaryRow base = row("b.txt", 2, "Aula", 200);
    SummaryRow variant = row("v.txt", 5, "Aula", 150);
    std::vector<std::string> fields = differenceFields("v.txt", {&base, &variant});
    std::vector<std::string> header = differenceHeader();
    ASSERT_EQ(fields.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.begin() + 9),
              (std::vector<std::string>{"b.txt", "v.txt", "Aula", "2", "5", "200", "150", "-50", "-25"}));
    EXPECT_EQ(header[5], "QsREF_max[W]_base");
    EXPECT_EQ(header[8], "QsREF_max[W]_dif[%]");
    EXPECT_EQ(percentText(0, 3), "");
    EXPECT_EQ(percentText(-200, -100), "50");  // of the base's magnitude: a smaller cooling load
}

// The buildings compare the hours outside of all their zone blocks.
TEST(Difference, BuildingsCountZoneHours) {
    SummaryRow base = row("b.txt", 0, "", 1);
    SummaryRow variant = row("v.txt", 0, "", 1);
    base.zoneHoursAbove = 40;
    variant.zoneHoursAbove = 30;
    variant.summary.hoursAbove = 999;  // the totals' own count is not the building's
    std::vector<std::string> fields = differenceFields("v.txt", {&base, &variant});
    std::vector<std::string> header = differenceHeader();
    std::size_t at = 0;
    while (at < header.size() && header[at] != "horas_T_sobre_max_base") ++at;
    ASSERT_LT(at + 3, fields.size());
    EXPECT_EQ(fields[2], "EDIFICIO");
    EXPECT_EQ(std::vector<std::string>(fields.begin() + at, fields.begin() + at + 4),
              (std::vector<std::string>{"40", "30", "-10", "-25"}));
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
