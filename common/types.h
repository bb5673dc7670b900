// Scalar types shared by every part of the tool: the zone results file stores
// 32-bit two's-complement integers and IEEE 754 binary32 reals (see
// doc/formats.md), and every sum the report makes keeps those widths.
#pragma once

#include <cstdint>
#include <limits>

namespace zoneloads {

using int32 = std::int32_t;
using float32 = float;

// The hours of a year: every hourly series and every hourly sum has this many
// slots, indexed by the hour h from 0.
constexpr int kHoursPerYear = 8760;

static_assert(sizeof(float32) == 4 && std::numeric_limits<float32>::is_iec559,
              "float32 must be IEEE 754 binary32");

}  // namespace zoneloads
