// Fuzz target: the figures and the pictures of the viewer on arbitrary
// float32 values, NaN, infinities, subnormals and values of any size among
// them. The input is read as:
//   byte 0     what to draw: every input draws the axes, carpet colours and
//              a peak day of its values; then, by this byte, one of: a
//              year's figures, its duration curve, its carpets, its monthly
//              bars and section head, a comparison of two buildings, the
//              tables (each a year of the values, repeated), or, seven
//              times in eight, nothing more
//   the rest   float32 values (4 bytes each), which fill the hours in turn
//              (each series from its own start in them)
// Every run must end (libFuzzer's -timeout catches a loop that does not),
// touch no memory it should not and do nothing undefined (the sanitizers),
// and keep what the figures promise: an axis of 1 to kMaxAxisSteps whole
// steps that holds its range, colours within their palette, counts of
// hours within the year and peaks on their side of 0.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "reportfile/report_reader.h"
#include "view/figures/comparison.h"
#include "view/figures/peak_day.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_row.h"
#include "view/page/charts.h"
#include "view/page/page.h"
#include "view/tables/console_table.h"
#include "view/tables/csv.h"

namespace {

using namespace zoneloads;
using namespace zoneloads::view;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// The input's values, at least one.
std::vector<double> valuesOf(const std::uint8_t* data, std::size_t size) {
    std::vector<double> values;
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        float f;
        std::memcpy(&f, data + at, 4);
        values.push_back(f);
    }
    if (values.empty()) values.push_back(0);
    return values;
}

// `length` hours from the values, starting at `start` and repeating them:
// copied in doubling pieces, as the loops of one value each are what cost
// most here.
std::vector<double> series(const std::vector<double>& values, std::size_t start, std::size_t length) {
    std::vector<double> hours(length);
    const std::size_t n = values.size(), at = start % n;
    std::size_t filled = std::min(n - at, length);
    std::memcpy(hours.data(), values.data() + at, filled * sizeof(double));
    if (filled < length && at > 0) {
        std::size_t more = std::min(at, length - filled);
        std::memcpy(hours.data() + filled, values.data(), more * sizeof(double));
        filled += more;
    }
    for (; filled < length; filled *= 2) {
        std::memcpy(hours.data() + filled, hours.data(), std::min(filled, length - filled) * sizeof(double));
    }
    return hours;
}

SectionHours zoneHours(const std::vector<double>& values, std::size_t length) {
    SectionHours hours;
    hours.qs = series(values, 0, length);
    hours.ql = series(values, 1, length);
    hours.treal = series(values, 2, length);
    hours.tmax = series(values, 3, length);
    hours.tmin = series(values, 4, length);
    return hours;
}

SectionHours buildingHours(const std::vector<double>& values) {
    SectionHours hours;
    hours.qs = series(values, 5, kHoursPerYear);
    hours.ql = series(values, 6, kHoursPerYear);
    hours.qsNeg = series(values, 7, kHoursPerYear);
    hours.qsPos = series(values, 8, kHoursPerYear);
    return hours;
}

void checkAxes(const std::vector<double>& values) {
    for (std::size_t i = 0; i + 1 < values.size() && i < 16; ++i) {
        double low = values[i], high = values[i + 1];
        AxisSteps axis = axisSteps(low, high, 5);
        check(axis.count >= 1 && axis.count <= kMaxAxisSteps);
        check(axis.low < axis.high && std::isfinite(axis.low) && std::isfinite(axis.high));
        if (std::isfinite(low) && std::isfinite(high) && low < high) check(axis.low <= low && axis.high >= high);
        check(carpetIndex(low, high) <= 1 + 2 * kCarpetLevels);
        check(temperatureIndex(low, high, values[(i + 2) % values.size()], 0.2) <= 1 + 2 * kTemperatureLevels);
    }
}

void checkFigures(const SectionFigures& f) {
    check(f.hoursQsPos + f.hoursQsNeg + f.nanHours <= kHoursPerYear);
    check(f.hoursAbove + f.hoursBelow <= kHoursPerYear);
    check(!(f.qsRef.value < 0) && !(f.qsCal.value > 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<double> values = valuesOf(data + 1, size - 1);
    checkAxes(values);
    // A day of the values: its chart, with the temperatures' axis.
    SectionHours day = zoneHours(values, kHoursPerDay);
    check(peakDayHtml(day, data[0] % kHoursPerDay, "QsREF").size() < 100000);
    // A year-long drawing in one run of eight, one kind at a time and the
    // dearest the rarest, so that runs stay many: the year's loops do the
    // same for every hour. By byte 0: 0 a comparison; 1-3 a duration curve;
    // 4-7 the carpets; 8-11 monthly bars and a section's head; 12-15 the
    // tables; 16-31 the figures alone.
    const int kind = data[0];
    if (kind >= 32) return 0;
    const int what = kind == 0 ? 4 : kind < 4 ? 1 : kind < 8 ? 2 : kind < 12 ? 3 : kind < 16 ? 5 : 0;
    SectionHours zone = zoneHours(values, kHoursPerYear);
    SectionFigures figures = sectionFigures(zone);
    checkFigures(figures);
    std::string drawn;
    switch (what) {
        case 1: drawn = durationCurveHtml(zone.qs); break;
        case 2:
            appendCarpet(drawn, zone);
            appendTemperatureCarpet(drawn, zone, kDefaultTolerance);
            break;
        case 3: drawn = monthlyHtml(figures) + sectionHeadHtml(zoneRow("a.txt", "Z", 1, figures)); break;
        case 4: {
            SectionHours building = buildingHours(values);
            SectionFigures buildingFigures = sectionFigures(building);
            checkFigures(buildingFigures);
            std::vector<SummaryRow> base = {zoneRow("a.txt", "Z", 1, figures)};
            base.push_back(buildingRow("a.txt", buildingFigures, base));
            drawn = comparisonHtml(compareReports(base, base), building, buildingFigures, zone, figures);
            break;
        }
        case 5: {
            std::vector<SummaryRow> rows = {zoneRow("a.txt", "Z", 1, figures)};
            rows.push_back(buildingRow("a.txt", figures, rows));
            drawn = scriptCsv(rows, compareReports(rows, rows).rows) + spanishCsv(rows) + consoleTable(rows, true) +
                    summaryTableHtml(rows, "x");
            break;
        }
        default: drawn = "figures";
    }
    check(!drawn.empty());
    return 0;
}
