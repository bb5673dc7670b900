// Scalar types shared by every part of the tool: the zone results file stores
// 32-bit two's-complement integers and IEEE 754 binary32 reals (see
// doc/formats.md), and every sum the report makes keeps those widths.
#pragma once

#include <cstdint>
#include <limits>

namespace zoneloads {

using int32 = std::int32_t;
using float32 = float;

// Records are read straight into memory and digits are stored as whole
// words, both in little-endian order, which every platform the tool is built
// for has (Windows on x86-64 or ARM64 included).
#if defined(__BYTE_ORDER__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the tool reads little-endian data into memory as it is");
#elif !defined(_WIN32)
#error "unknown byte order: the tool needs a little-endian machine"
#endif

static_assert(sizeof(float32) == 4 && std::numeric_limits<float32>::is_iec559, "float32 must be IEEE 754 binary32");

}  // namespace zoneloads
