// Fuzz target: the axes, colours and day charts of the viewer on arbitrary
// float32 values, NaN, infinities, subnormals and values of any size among
// them: every axis of 1 to kMaxAxisSteps whole steps holding its range,
// every colour within its palette, a peak day's chart of bounded size, and
// nothing undefined (the sanitizers). Cheap enough for thousands of runs a
// second; year_fuzz drives a year's figures and pictures.
// The input: byte 0 the hour of the peak day, the rest float32 values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/float_series.h"
#include "fuzz/fuzz_target.h"
#include "view/page/charts.h"

namespace {

using namespace zoneloads;
using namespace zoneloads::view;
using fuzzing::check;

void checkAxes(const std::vector<double>& values) {
    for (std::size_t i = 0; i + 1 < values.size() && i < 16; ++i) {
        double low = values[i], high = values[i + 1];
        AxisSteps axis = axisSteps(low, high, 5);
        check(axis.count >= 1 && axis.count <= kMaxAxisSteps);
        check(axis.low < axis.high && std::isfinite(axis.low) && std::isfinite(axis.high));
        if (std::isfinite(low) && std::isfinite(high) && low < high) check(axis.low <= low && axis.high >= high);
        check(carpetIndex(low, high) <= 1 + 2 * kCarpetLevels);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<double> values = fuzzing::valuesOf(data + 1, size - 1);
    checkAxes(values);
    SectionHours day = fuzzing::zoneHours(values, kHoursPerDay);
    check(peakDayHtml(day, data[0] % kHoursPerDay, "QsREF").size() < 100000);
    return 0;
}
