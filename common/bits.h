// Bit scans of a 64-bit word, one instruction where the compiler offers one,
// and the mark that keeps a rare function out of its caller.
#pragma once

#include <cstdint>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

// Keeps a rarely called function out of its caller's frame.
#if defined(_MSC_VER) && !defined(__clang__)
#define ZONELOADS_NOINLINE __declspec(noinline)
#elif defined(__GNUC__) || defined(__clang__)
#define ZONELOADS_NOINLINE __attribute__((noinline))
#else
#define ZONELOADS_NOINLINE
#endif

namespace zoneloads {

// The number of zero bits above the highest set bit; `x` must not be 0.
inline int leadingZeros(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_clzll(x);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
    unsigned long highest;
    _BitScanReverse64(&highest, x);
    return 63 - static_cast<int>(highest);
#else
    int n = 0;
    for (std::uint64_t top = std::uint64_t{1} << 63; !(x & top); top >>= 1) ++n;
    return n;
#endif
}

// The number of zero bits below the lowest set bit; `x` must not be 0.
inline int trailingZeros(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(x);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
    unsigned long lowest;
    _BitScanForward64(&lowest, x);
    return static_cast<int>(lowest);
#else
    int n = 0;
    for (; !(x & 1); x >>= 1) ++n;
    return n;
#endif
}

}  // namespace zoneloads
