// What the fuzz targets of the figures share: arbitrary float32 values
// from the input, and hours of a day or a year filled with them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/calendar.h"
#include "reportfile/report_reader.h"

namespace zoneloads {
namespace fuzzing {

// Stops the run: libFuzzer reports the input.
inline void check(bool condition) {
    if (!condition) __builtin_trap();
}

// The input's values, read as float32, at least one.
inline std::vector<double> valuesOf(const std::uint8_t* data, std::size_t size) {
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
inline std::vector<double> series(const std::vector<double>& values, std::size_t start, std::size_t length) {
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

// A zone block's hours (each series from its own start in the values).
inline SectionHours zoneHours(const std::vector<double>& values, std::size_t length) {
    SectionHours hours;
    hours.qs = series(values, 0, length);
    hours.ql = series(values, 1, length);
    hours.treal = series(values, 2, length);
    hours.tmax = series(values, 3, length);
    hours.tmin = series(values, 4, length);
    return hours;
}

// The totals section's hours.
inline SectionHours buildingHours(const std::vector<double>& values) {
    SectionHours hours;
    hours.qs = series(values, 5, kHoursPerYear);
    hours.ql = series(values, 6, kHoursPerYear);
    hours.qsNeg = series(values, 7, kHoursPerYear);
    hours.qsPos = series(values, 8, kHoursPerYear);
    return hours;
}

}  // namespace fuzzing
}  // namespace zoneloads
