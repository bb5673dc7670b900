// Fuzz target: a year of the viewer's figures and pictures on arbitrary
// float32 values, NaN, infinities, subnormals and values of any size among
// them. The input is read as:
//   byte 0     what to write besides the year's figures: the building's
//              section, the page's values of a zone, its figures and section
//              head, a comparison of two buildings, the tables, a zone's
//              section, or nothing
//   the rest   float32 values (4 bytes each), which fill the hours in turn
//              (each series from its own start in them)
// Every run must end (libFuzzer's -timeout catches a loop that does not),
// touch no memory it should not and do nothing undefined (the sanitizers),
// and keep what the figures promise: counts of hours within the year and
// peaks on their side of 0.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/float_series.h"
#include "fuzz/fuzz_target.h"
#include "view/figures/comparison.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_row.h"
#include "view/page/page.h"
#include "view/page/section_values.h"
#include "view/tables/console_table.h"
#include "view/tables/csv.h"

namespace {

using namespace zoneloads;
using namespace zoneloads::view;
using fuzzing::check;

void checkFigures(const SectionFigures& f) {
    check(f.hoursQsPos + f.hoursQsNeg + f.nanHours <= kHoursPerYear);
    check(f.hoursAbove + f.hoursBelow <= kHoursPerYear);
    check(!(f.qsRef.value < 0) && !(f.qsCal.value > 0));
}

// The drawing byte 0 asks for, the dearest the rarest.
std::string drawn(int what, const std::vector<double>& values, const SectionHours& zone, const SectionFigures& f) {
    switch (what) {
        case 0: {
            SectionHours building = fuzzing::buildingHours(values);
            SectionFigures buildingFigures = sectionFigures(building);
            checkFigures(buildingFigures);
            std::vector<SummaryRow> base = {zoneRow("a.txt", "Z", 1, f)};
            base.push_back(buildingRow("a.txt", buildingFigures, base));
            return comparisonHtml(compareReports(base, base), building, buildingFigures, zone, f);
        }
        case 1: return sectionFiguresHtml(fuzzing::buildingHours(values), f);
        case 2: return zoneValues(zone, f.tolerance);
        case 3: return figuresText(f) + sectionHeadHtml(zoneRow("a.txt", "Z", 1, f));
        case 4: {
            std::vector<SummaryRow> rows = {zoneRow("a.txt", "Z", 1, f)};
            rows.push_back(buildingRow("a.txt", f, rows));
            return scriptCsv(rows, compareReports(rows, rows).rows) + spanishCsv(rows) + consoleTable(rows, true) +
                   summaryTableHtml(rows, "x");
        }
        case 5: return zoneSectionHtml(zoneRow("a.txt", "Z", 1, f), 0, zone);
        default: return "figures";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<double> values = fuzzing::valuesOf(data + 1, size - 1);
    const int kind = data[0];
    const int what = kind == 0 ? 0 : kind < 4 ? 1 : kind < 8 ? 2 : kind < 12 ? 3 : kind < 16 ? 4 : kind < 24 ? 5 : 6;
    SectionHours zone = fuzzing::zoneHours(values, kHoursPerYear);
    SectionFigures figures = sectionFigures(zone);
    checkFigures(figures);
    check(!drawn(what, values, zone, figures).empty());
    return 0;
}
