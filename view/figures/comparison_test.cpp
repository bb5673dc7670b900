#include "view/figures/comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "view/figures/report_sections_test.h"
#include "view/tables/csv.h"

namespace zoneloads {
namespace view {
namespace {

// A zone block (block > 0) or a building (block 0) with a QsREF peak.
SummaryRow row(const std::string& report, int block, const std::string& zone, double qsRef) {
    SectionFigures f;
    f.qsRef.value = qsRef;
    f.qsPosWh = qsRef * 10;
    return zoneRow(report, zone, block, f);
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
        return std::make_pair(base[pairing.pairs[i].base].block, variant[pairing.pairs[i].variant].block);
    };
    EXPECT_EQ(blocks(0), std::make_pair(1, 2));
    EXPECT_EQ(blocks(1), std::make_pair(2, 1));
    EXPECT_EQ(blocks(2), std::make_pair(3, 3));
    EXPECT_EQ(blocks(3), std::make_pair(0, 0));
    std::vector<std::string> warnings;
    for (const UnpairedBlock& b : unpairedBlocks(pairing, base, variant)) warnings.push_back(warningText(b));
    EXPECT_EQ(warnings,
              (std::vector<std::string>{"b.txt: bloque 4 (Patio) sin zona del mismo nombre en la variante v.txt",
                                        "v.txt: bloque 4 (Aula) sin zona del mismo nombre en la base b.txt"}));
    // The rows hold positions, not pointers: they stay right when the rows move.
    std::vector<SummaryRow> moved = std::move(base);
    EXPECT_EQ(moved[pairing.pairs[1].base].zone, "Aula");
}

// A warning is one line to show: a zone name's control bytes and a report
// name that is not UTF-8 appear as marks and characters, never raw.
TEST(Pairing, WarningsShowNamesSafely) {
    UnpairedBlock block{"C\xE1mara.txt", 3, "Sala\x1B[2J\r\n", "var.txt", true, -1};
    std::string text = warningText(block);
    EXPECT_EQ(text,
              "C\xC3\xA1mara.txt: bloque 3 (Sala\xE2\x90\x9B[2J\xE2\x90\x8D\xE2\x90\x8A) sin zona del mismo "
              "nombre en la variante var.txt");
    for (char c : text) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
}

// A known difference comes out as base, variant, difference and percent of
// the base, as numbers and as the CSV's text; a base of zero has no percent.
TEST(Difference, FiguresOfAPair) {
    std::vector<SummaryRow> base = {row("b.txt", 1, "Aula", 200), row("b.txt", 0, "", 200)};
    std::vector<SummaryRow> variant = {row("v.txt", 1, "Aula", 150), row("v.txt", 0, "", 150)};
    Comparison comparison = compareReports(base, variant);
    ASSERT_EQ(comparison.rows.size(), 2u);
    const DifferenceRow& d = comparison.rows[0];
    EXPECT_EQ(d.figures[0].base, 200);
    EXPECT_EQ(d.figures[0].variant, 150);
    std::vector<std::string> fields = differenceFields(d);
    std::vector<std::string> header = differenceHeader();
    ASSERT_EQ(fields.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.begin() + 9),
              (std::vector<std::string>{"b.txt", "v.txt", "Aula", "1", "1", "200", "150", "-50", "-25"}));
    EXPECT_EQ(header[5], "QsREF_max[W]_base");
    EXPECT_EQ(header[8], "QsREF_max[W]_dif[%]");
    EXPECT_TRUE(std::isnan(percentOfBase(0, 3)));
    EXPECT_EQ(percentOfBase(-200, -100), 50);  // of the base's magnitude: a smaller heating load
    EXPECT_EQ(differenceFields(comparison.rows[1])[2], "EDIFICIO");
    EXPECT_EQ(differenceFields(comparison.rows[1])[3], "TOTAL");
}

// The buildings compare the hours outside of all their zone blocks.
TEST(Difference, BuildingsCountZoneHours) {
    std::vector<SummaryRow> base = {row("b.txt", 0, "", 1)};
    std::vector<SummaryRow> variant = {row("v.txt", 0, "", 1)};
    base[0].zoneHoursAbove = 40;
    variant[0].zoneHoursAbove = 30;
    variant[0].figures.hoursAbove = 999;  // the totals' own count is not the building's
    Comparison comparison = compareReports(base, variant);
    std::vector<std::string> fields = differenceFields(comparison.rows.at(0));
    std::vector<std::string> header = differenceHeader();
    std::size_t at = 0;
    while (at < header.size() && header[at] != "horas_T_sobre_max_zonas_base") ++at;
    ASSERT_LT(at + 3, fields.size());
    EXPECT_EQ(std::vector<std::string>(fields.begin() + at, fields.begin() + at + 4),
              (std::vector<std::string>{"40", "30", "-10", "-25"}));
}

class ComparisonTest : public ReportSectionsTest {};

// Two designs that differ in one zone by a known amount, the zones in
// another order and a name repeated: each zone meets its own, the
// difference is in the changed zone and in the building only.
TEST_F(ComparisonTest, TwoReportsDifferingInOneZone) {
    auto a = testkit::makeZone("Aula", 1);
    auto b = testkit::makeZone("Aula", 2);
    auto c = testkit::makeZone("Sala", 3);
    std::vector<SummaryRow> base = rowsOf({a.get(), b.get(), c.get()}, "base.txt");
    c->Qs[4741] = 9000;  // the variant's Sala: -47 W at 17 Jul 13:00 in the base
    std::vector<SummaryRow> variant = rowsOf({c.get(), a.get(), b.get()}, "variante.txt");
    Comparison comparison = compareReports(base, variant);
    EXPECT_TRUE(comparison.unpaired.empty());
    ASSERT_EQ(comparison.rows.size(), 4u);
    const std::vector<std::string> header = differenceHeader();
    auto field = [&](std::size_t row, const std::string& column) {
        std::vector<std::string> fields = differenceFields(comparison.rows[row]);
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == column) return fields[i];
        }
        return std::string("no column ") + column;
    };
    // Aula meets the first Aula, the second the second, Sala its Sala.
    EXPECT_EQ(field(0, "bloque_variante"), "2");
    EXPECT_EQ(field(1, "bloque_variante"), "3");
    EXPECT_EQ(field(2, "bloque_variante"), "1");
    for (std::size_t row : {0u, 1u}) {
        EXPECT_EQ(field(row, "QsREF_max[W]_dif"), "0");
        EXPECT_EQ(field(row, "Qs_pos[kWh]_dif"), "0");
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
