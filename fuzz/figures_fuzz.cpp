// Fuzz target: what the page's script draws the temperature carpet from, on
// arbitrary float32 values, NaN, infinities, subnormals and values of any
// size among them: every hour's band within the carpet's palette and
// outside the band exactly when the hour is counted outside, and nothing
// undefined (the sanitizers). Cheap enough for thousands of runs a second;
// year_fuzz drives a year's figures and the page's sections.
// The input: byte 0 the tolerance in tenths of a kelvin, the rest float32
// values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/float_series.h"
#include "fuzz/fuzz_target.h"
#include "view/figures/statistics.h"
#include "view/page/section_values.h"

namespace {

using namespace zoneloads;
using namespace zoneloads::view;
using fuzzing::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const double tolerance = data[0] / 10.0;
    std::vector<double> values = fuzzing::valuesOf(data + 1, size - 1);
    SectionHours day = fuzzing::zoneHours(values, kHoursPerDay);
    std::vector<double> bands = temperatureBands(day, tolerance);
    check(bands.size() == static_cast<std::size_t>(kHoursPerDay));
    for (std::size_t h = 0; h < bands.size(); ++h) {
        double band = bands[h];
        check(band >= 0 && band <= 1 + 2 * kTemperatureLevels && band == std::floor(band));
        double t = day.treal[h], high = day.tmax[h], low = day.tmin[h];
        bool numbers = !std::isnan(t) && !std::isnan(high) && !std::isnan(low);
        check((band >= 2) == (numbers && (beyond(t, high, tolerance) || beyond(-t, -low, tolerance))));
    }
    return 0;
}
