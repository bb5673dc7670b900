#include "view/page/hour_values.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/calendar.h"
#include "view/page/zlib_stream.h"

namespace zoneloads {
namespace view {
namespace {

// Decimal integers stay within what the page's script adds up exactly.
constexpr double kLargestInteger = 2147483647.0;
const double kTens[kMostDecimals + 1] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// `x` rounded to the nearest integer, ties to even, for |x| below 2^51:
// adding and taking away 1.5 * 2^52 leaves no fraction (and needs no call
// into the math library, which this loop would pay for every value).
inline double nearestInteger(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

// Whether `v` is `integer` over 10^decimals, as the script divides, within
// what the script adds up exactly.
inline bool holds(double v, int decimals, double& integer) {
    double scaled = v * kTens[decimals];
    if (!(std::fabs(scaled) <= kLargestInteger)) return false;  // NaN and infinities too
    integer = nearestInteger(scaled);
    return integer / kTens[decimals] == v;
}

// The series as decimal integers over 10^decimals, the fewest decimals that
// give every value back; false when some value needs more than
// kMostDecimals, is not finite, or is too large.
bool decimalIntegers(const std::vector<double>& values, std::vector<std::int64_t>& integers, int& decimals) {
    decimals = 0;
    integers.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        double integer;
        if (holds(values[i], decimals, integer)) {
            integers[i] = static_cast<std::int64_t>(integer);
            continue;
        }
        // More decimals: those so far are scaled up with them, exactly.
        int more = decimals + 1;
        while (more <= kMostDecimals && !holds(values[i], more, integer)) ++more;
        if (more > kMostDecimals) return false;
        auto factor = static_cast<std::int64_t>(kTens[more - decimals]);
        for (std::size_t j = 0; j < i; ++j) {
            integers[j] *= factor;
            if (std::fabs(static_cast<double>(integers[j])) > kLargestInteger) return false;
        }
        integers[i] = static_cast<std::int64_t>(integer);
        decimals = more;
    }
    return true;
}

// Writes `n` as a varint (seven bits a byte, the lowest first, the high bit
// set on all but the last) at `out`; returns where it ends.
inline char* putVarint(char* out, std::uint64_t n) {
    while (n >= 0x80) {
        *out++ = static_cast<char>((n & 0x7F) | 0x80);
        n >>= 7;
    }
    *out++ = static_cast<char>(n);
    return out;
}

// A series as decimal integers, each hour's the change from the hour before
// (from 0 for the first), zigzagged (0, -1, 1, -2 ... as 0, 1, 2, 3 ...).
void appendDecimal(std::string& out, const std::vector<std::int64_t>& integers, int decimals) {
    std::size_t at = out.size();
    out.resize(at + 2 + integers.size() * 10);  // a varint of a change holds at most 10 bytes
    char* p = &out[at];
    *p++ = static_cast<char>(SeriesCode::decimal);
    *p++ = static_cast<char>(decimals);
    std::int64_t previous = 0;
    for (std::int64_t integer : integers) {
        std::int64_t change = integer - previous;
        previous = integer;
        p = putVarint(p, change < 0 ? (static_cast<std::uint64_t>(-(change + 1)) << 1) | 1
                                    : static_cast<std::uint64_t>(change) << 1);
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
}

// A series as little-endian float32: each value is a float32 the report
// printed, so the script prints it back as the report did.
void appendFloat32(std::string& out, const std::vector<double>& values) {
    out += static_cast<char>(SeriesCode::float32);
    for (double v : values) {
        auto f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
    }
}

}  // namespace

std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out((bytes.size() + 2) / 3 * 4, '=');
    char* at = &out[0];
    auto byte = [&bytes](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3, at += 4) {
        std::uint32_t v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        at[0] = kDigits[v >> 18];
        at[1] = kDigits[(v >> 12) & 63];
        at[2] = kDigits[(v >> 6) & 63];
        at[3] = kDigits[v & 63];
    }
    if (i < bytes.size()) {  // one or two bytes left: "==" or "=" after their digits
        std::uint32_t v = byte(i) << 16 | (i + 1 < bytes.size() ? byte(i + 1) << 8 : 0);
        at[0] = kDigits[v >> 18];
        at[1] = kDigits[(v >> 12) & 63];
        if (i + 1 < bytes.size()) at[2] = kDigits[(v >> 6) & 63];
    }
    return out;
}

SeriesCode seriesCode(const std::vector<double>& values, int& decimals) {
    std::vector<std::int64_t> integers;
    return decimalIntegers(values, integers, decimals) ? SeriesCode::decimal : SeriesCode::float32;
}

std::string encodeHourValues(const std::vector<const std::vector<double>*>& series) {
    std::string raw;
    raw.reserve(series.size() * static_cast<std::size_t>(kHoursPerYear) * 2);
    std::vector<std::int64_t> integers;
    for (const std::vector<double>* values : series) {
        int decimals;
        if (decimalIntegers(*values, integers, decimals)) {
            appendDecimal(raw, integers, decimals);
        } else {
            appendFloat32(raw, *values);
        }
    }
    return base64(zlibStream(raw));
}

}  // namespace view
}  // namespace zoneloads
