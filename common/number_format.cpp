#include "common/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

#include "common/bits.h"

namespace zoneloads {
namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

const char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

const u64 kPow10[20] = {1ull,
                        10ull,
                        100ull,
                        1000ull,
                        10000ull,
                        100000ull,
                        1000000ull,
                        10000000ull,
                        100000000ull,
                        1000000000ull,
                        10000000000ull,
                        100000000000ull,
                        1000000000000ull,
                        10000000000000ull,
                        100000000000000ull,
                        1000000000000000ull,
                        10000000000000000ull,
                        100000000000000000ull,
                        1000000000000000000ull,
                        10000000000000000000ull};

// floor(e * log10(2)). 78913 / 2^18 falls short of log10(2) by less than 1e-6,
// and for |e| <= 300 no e * log10(2) lies that close above an integer, so the
// floor is exact over every binary exponent a float32 has.
int floorLog10Pow2(int e) { return e >= 0 ? (e * 78913) >> 18 : -(((-e) * 78913 + (1 << 18) - 1) >> 18); }

// The value divided by a power of ten, as its integer part and how the
// fraction compares with one half (-1 below, 0 exactly, +1 above).
struct Scaled {
    u64 whole;
    int half;
};

int compareWithHalf(u64 rest, u64 divisor) {
    u64 other = divisor - rest;  // rest < divisor, so no overflow
    return rest < other ? -1 : (rest == other ? 0 : 1);
}

// m * 2^q / 10^k in plain 64-bit integers. Both the dividend and the divisor
// are exact integers, so the quotient and the rest are exact; returns false
// when either would not fit 64 bits.
bool scaleFast(u32 m, int q, int k, Scaled& s) {
    if (q < 0) {
        int shift = -q;
        if (shift > 63) return false;
        if (k <= 0) {
            // Dividing by a power of two: the quotient is a shift, the rest a mask.
            if (-k > 12) return false;  // m * 10^12 < 2^24 * 2^40
            u64 num = m * kPow10[-k];
            u64 rest = num & ((u64{1} << shift) - 1);
            s.whole = num >> shift;
            s.half = compareWithHalf(rest, u64{1} << shift);
            return true;
        }
        if (k > 19 || kPow10[k] > (~u64{0} >> shift)) return false;
        u64 divisor = kPow10[k] << shift;
        s.whole = m / divisor;
        s.half = compareWithHalf(m % divisor, divisor);
        return true;
    }
    if (q > 40) return false;  // m * 2^40 < 2^64
    u64 num = u64{m} << q;
    if (k <= 0) {
        if (-k > 19 || num > (~u64{0}) / kPow10[-k]) return false;
        s.whole = num * kPow10[-k];
        s.half = -1;
        return true;
    }
    if (k > 19) return false;
    s.whole = num / kPow10[k];
    s.half = compareWithHalf(num % kPow10[k], kPow10[k]);
    return true;
}

// A 256-bit unsigned integer, for the few values (below about 1e-7 or above
// about 1e19) whose scaling does not fit 64 bits. Little-endian 32-bit limbs.
struct Big {
    u32 limb[8];
};

Big bigFrom(u64 v) {
    Big b{};
    b.limb[0] = static_cast<u32>(v);
    b.limb[1] = static_cast<u32>(v >> 32);
    return b;
}

void bigMul(Big& b, u32 factor) {
    u64 carry = 0;
    for (u32& limb : b.limb) {
        u64 p = u64{limb} * factor + carry;
        limb = static_cast<u32>(p);
        carry = p >> 32;
    }
}

void bigMulPow10(Big& b, int n) {
    for (; n >= 9; n -= 9) bigMul(b, 1000000000u);
    bigMul(b, static_cast<u32>(kPow10[n]));
}

void bigShiftLeft(Big& b, int bits) {
    for (; bits >= 16; bits -= 16) bigMul(b, 1u << 16);
    bigMul(b, 1u << bits);
}

int bigCompare(const Big& a, const Big& b) {
    for (int i = 7; i >= 0; --i) {
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
}

// m * 2^q / 10^k as the exact fraction num / den; the quotient is first
// estimated in double (off by at most one, as it is below 10^7) and then
// corrected by exact comparisons.
ZONELOADS_NOINLINE void scaleExact(u32 m, int q, int k, Scaled& s) {  // rare: kept out of the fast path's frame
    Big num = bigFrom(m);
    Big den = bigFrom(1);
    if (q >= 0)
        bigShiftLeft(num, q);
    else
        bigShiftLeft(den, -q);
    if (k >= 0)
        bigMulPow10(den, k);
    else
        bigMulPow10(num, -k);

    double estimate = std::ldexp(static_cast<double>(m), q) / std::pow(10.0, k);
    u64 whole = static_cast<u64>(estimate);
    auto times = [&den](u64 factor) {
        Big b = den;
        bigMul(b, static_cast<u32>(factor));
        return b;
    };
    while (whole > 0 && bigCompare(times(whole), num) > 0) --whole;
    while (bigCompare(times(whole + 1), num) <= 0) ++whole;

    Big twiceNum = num;
    bigMul(twiceNum, 2);
    s.whole = whole;
    s.half = bigCompare(twiceNum, times(2 * whole + 1));
}

void scale(u32 m, int q, int k, Scaled& s) {
    if (!scaleFast(m, q, k, s)) scaleExact(m, q, k, s);
}

// The doubles nearest to 10^-45 .. 10^38. A float32 value v is a double too,
// so v >= 10^n exactly when v >= kPow10Near[n]: no double lies strictly
// between 10^n and its nearest double. (That v might equal an inexact
// kPow10Near[n] is ruled out by format-check, which covers every pattern.)
const double kPow10Near[84] = {1e-45, 1e-44, 1e-43, 1e-42, 1e-41, 1e-40, 1e-39, 1e-38, 1e-37, 1e-36, 1e-35, 1e-34,
                               1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22,
                               1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10,
                               1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,
                               1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,
                               1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,
                               1e27,  1e28,  1e29,  1e30,  1e31,  1e32,  1e33,  1e34,  1e35,  1e36,  1e37,  1e38};
constexpr int kPow10NearFirst = -45;

// For each biased exponent of a normal float32, the smallest fraction field
// whose value reaches the next power of ten above the binade's floor
// (10^(floorLog10Pow2(e2) + 1)); 2^23 when no value of the binade does.
// Found once from kPow10Near, so comparing the fraction bits (an integer
// compare) tells the decimal exponent exactly as comparing the values would.
struct PowerThresholds {
    u32 fraction[256];
};

PowerThresholds makeThresholds() {
    PowerThresholds t{};
    for (int biased = 1; biased < 255; ++biased) {
        int next = floorLog10Pow2(biased - 127) + 1 - kPow10NearFirst;
        t.fraction[biased] = 1u << 23;
        if (next >= 84) continue;
        float reach = static_cast<float>(kPow10Near[next]);
        if (static_cast<double>(reach) < kPow10Near[next]) reach = std::nextafter(reach, 2 * reach);
        u32 bits;
        std::memcpy(&bits, &reach, sizeof bits);
        int reachBiased = static_cast<int>(bits >> 23);
        if (reachBiased == biased)
            t.fraction[biased] = bits & 0x7FFFFF;
        else if (reachBiased < biased)
            t.fraction[biased] = 0;
    }
    return t;
}

const PowerThresholds kThresholds = makeThresholds();

// A value rounded to six significant digits: digits in [100000, 999999] and
// the decimal exponent of the first one.
struct Decimal6 {
    u32 digits;
    int exponent;
};

// m * 2^q (m > 0) rounded to six significant digits, given its decimal
// exponent e10 before rounding: dividing by 10^(e10-5) leaves an integer
// part in [10^5, 10^6), rounded here half to even.
Decimal6 roundTo6Digits(u32 m, int q, int e10) {
    Scaled s;
    scale(m, q, e10 - 5, s);
    u32 digits = static_cast<u32>(s.whole);
    if (s.half > 0 || (s.half == 0 && (digits & 1))) ++digits;
    if (digits == 1000000) return {100000, e10 + 1};
    return {digits, e10};
}

// roundTo6Digits for the values from 1e-7 to below 1e6, which are nearly all
// that a report holds, in one step and without a branch on the data:
// m * 2^(e2-23) / 10^(e10-5) is m * 10^(5-e10) (below 2^24 * 10^12 < 2^64)
// shifted right by 23 - e2 (4 to 47 bits here), so the quotient is a shift,
// the rest a mask, and the rounding (half to even) one comparison.
Decimal6 roundCommon(u32 m, int e2, int e10) {
    u64 num = m * kPow10[5 - e10];
    int shift = 23 - e2;
    u64 whole = num >> shift;
    u64 rest = num & ((u64{1} << shift) - 1);
    u64 half = u64{1} << (shift - 1);
    u64 up = static_cast<u64>(rest > half) | (static_cast<u64>(rest == half) & whole);
    u32 digits = static_cast<u32>(whole + up);
    if (digits == 1000000) return {100000, e10 + 1};
    return {digits, e10};
}

// Two ASCII digits as they lie in memory, for 0 .. 99.
u64 digitPair(u32 n) {
    std::uint16_t pair;
    std::memcpy(&pair, kDigitPairs + 2 * n, 2);
    return pair;
}

void store8(char* at, u64 bytes) { std::memcpy(at, &bytes, 8); }

// "%g" layout of six digits with decimal exponent `exponent`: fixed notation
// for exponents -4 to 5, else d.ddddde+XX; trailing zeros dropped.
// The six digits are held in one 64-bit word, first digit in the lowest byte
// (the order of a little-endian memory, which the whole tool assumes), and
// stored 8 bytes at a time: the caller's room of kMaxNumberChars covers the
// bytes stored past the end, which the next text overwrites.
char* writeDecimal6(Decimal6 d, char* out) {
    u64 digits = digitPair(d.digits / 10000) | digitPair(d.digits / 100 % 100) << 16 | digitPair(d.digits % 100) << 32;
    // Significant digits left once trailing zeros are dropped: XOR with "0"s
    // leaves zero bytes exactly where the digits are '0', and the highest
    // non-zero byte is the last significant digit (the first digit is never
    // '0', so the word is never zero). No data-dependent loop, which would
    // mispredict on every value.
    int count = (64 - leadingZeros(digits ^ 0x303030303030ull) + 7) / 8;

    int e = d.exponent;
    if (e >= 0 && e < 6) {
        // The point and the fraction digits are stored whatever the count:
        // when no fraction digit is left they lie past the end returned.
        int whole = e + 1;
        store8(out, digits);
        out[whole] = '.';
        store8(out + whole + 1, digits >> (8 * whole));
        // Arithmetic rather than a choice: whether any fraction digit is
        // left changes from value to value, and a branch would mispredict.
        int more = count > whole;
        return out + whole + more * (count + 1 - whole);
    }
    if (e < 0 && e >= -4) {
        store8(out, 0x3030303030302E30ull);  // "0.000000": "0." and the -e-1 zeros
        store8(out + 1 - e, digits);
        return out + 1 - e + count;
    }
    out[0] = static_cast<char>(digits & 0xFF);
    char* p = out + 1;
    if (count > 1) {
        out[1] = '.';
        store8(out + 2, digits >> 8);
        p = out + count + 1;
    }
    p[0] = 'e';
    p[1] = e < 0 ? '-' : '+';
    int magnitude = e < 0 ? -e : e;  // at most 45 for a float32
    std::memcpy(p + 2, kDigitPairs + 2 * magnitude, 2);
    return p + 4;
}

// The powers of ten a double holds exactly.
const double kExact10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The six digits of a normal float32 (bits without the sign), as
// formatFloat32 rounds them.
Decimal6 normalDigits(u32 exponentBits, u32 fraction) {
    int e2 = static_cast<int>(exponentBits) - 127;
    int e10 = floorLog10Pow2(e2) + (fraction >= kThresholds.fraction[exponentBits]);
    u32 m = fraction | 0x800000;
    if (e10 >= -7 && e10 <= 5) return roundCommon(m, e2, e10);
    return roundTo6Digits(m, e2 - 23, e10);
}

// A value's text read back, for the few values float32TextValueOfBits does not find
// otherwise: kept out of its loop.
ZONELOADS_NOINLINE double valueThroughText(float32 value) {
    char text[kMaxNumberChars];
    double parsed = 0;
    parseReal(text, static_cast<std::size_t>(formatFloat32(value, text) - text), parsed);
    return parsed;
}

// The text's value is its six digits times a power of ten, which the parser
// finds with one correctly rounded multiplication or division (or through
// from_chars, correctly rounded too): so is it here, from the same digits,
// and both give the double nearest to the same decimal. Values whose power
// of ten a double does not hold exactly (below about 1e-17, above 1e27),
// subnormals, zeros, infinities and NaNs go through the text itself.
double float32TextValueOfBits(float32 value, u32 bits) {
    u32 exponentBits = (bits >> 23) & 0xFF;
    if (exponentBits != 0 && exponentBits != 0xFF) {
        Decimal6 d = normalDigits(exponentBits, bits & 0x7FFFFF);
        int scale = d.exponent - 5;
        if (scale >= -22 && scale <= 22) {
            double digits = d.digits;
            double magnitude = scale >= 0 ? digits * kExact10[scale] : digits / kExact10[-scale];
            return bits >> 31 ? -magnitude : magnitude;
        }
    }
    return valueThroughText(value);
}

}  // namespace

char* formatFloat32(float32 value, char* out) {
    u32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits >> 31) *out++ = '-';
    u32 exponentBits = (bits >> 23) & 0xFF;
    u32 fraction = bits & 0x7FFFFF;
    if (exponentBits == 0xFF) {
        std::memcpy(out, fraction ? "nan" : "inf", 3);
        return out + 3;
    }
    if (exponentBits == 0) {
        if (fraction == 0) {
            *out++ = '0';
            return out;
        }
        // Subnormal: fraction * 2^-149. It lies in [2^e2, 2^(e2+1)), so its
        // decimal exponent is e10 or e10 + 1; comparing with the next power
        // of ten tells which.
        int highBit = 0;
        while ((fraction >> highBit) > 1) ++highBit;
        int e10 = floorLog10Pow2(highBit - 149);
        if (std::fabs(static_cast<double>(value)) >= kPow10Near[e10 + 1 - kPow10NearFirst]) ++e10;
        return writeDecimal6(roundTo6Digits(fraction, -149, e10), out);
    }
    // Normal: the same choice of exponent, by the fraction bits alone.
    return writeDecimal6(normalDigits(exponentBits, fraction), out);
}

double float32TextValue(float32 value) {
    u32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return float32TextValueOfBits(value, bits);
}

// A value that repeats the one before (set points, idle loads, hour after
// hour) takes the same double again.
void float32TextValues(const float32* values, std::size_t count, double* out) {
    u32 lastBits = 0;
    double last = 0;
    for (std::size_t i = 0; i < count; ++i) {
        u32 bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        if (i == 0 || bits != lastBits) {
            last = float32TextValueOfBits(values[i], bits);
            lastBits = bits;
        }
        out[i] = last;
    }
}

char* formatInt32(int32 value, char* out) {
    // Work on the magnitude as unsigned, so that -2^31 has one too.
    u32 magnitude = static_cast<u32>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    if (magnitude < 10) {  // the flags of the integer series
        *out = static_cast<char>('0' + magnitude);
        return out + 1;
    }
    char reversed[10];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0) *out++ = reversed[--n];
    return out;
}

std::string int32Text(int32 value) {
    char text[kMaxNumberChars];
    return std::string(text, formatInt32(value, text));
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// The grammar (doc/formats.md): ["-"] ("nan" / "inf" / 1*digit ["." 1*digit]
// ["e" ("+" / "-") 2*4digit]). Up to 15 digits and a power of ten up to 22
// are converted with one correctly rounded operation; anything longer goes
// through from_chars, correctly rounded too.
const char* scanReal(const char* text, const char* end, double& value) {
    const char* p = text;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* magnitude = p;
    if (p < end && !isDigit(*p)) {  // a word or nothing; nearly every field starts with a digit
        if (end - p < 3 || (std::memcmp(p, "nan", 3) != 0 && std::memcmp(p, "inf", 3) != 0)) return nullptr;
        value = *p == 'n' ? std::numeric_limits<double>::quiet_NaN() : HUGE_VAL;
        value = negative ? -value : value;
        return p + 3;
    }
    // Every digit counts, leading zeros too: at most 15 are exact in a double.
    unsigned long long mantissa = 0;
    const char* digitsStart = p;
    for (; p < end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    int digits = static_cast<int>(p - digitsStart);
    if (digits == 0) return nullptr;
    int scale = 0;
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        for (; p < end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        if (p == fraction) return nullptr;
        scale = -static_cast<int>(p - fraction);
        digits -= scale;
    }
    if (p < end && *p == 'e') {
        if (++p == end || (*p != '+' && *p != '-')) return nullptr;
        const bool negativeExponent = *p++ == '-';
        const char* exponentStart = p;
        int exponent = 0;
        for (; p < end && isDigit(*p) && p - exponentStart < 4; ++p) exponent = exponent * 10 + (*p - '0');
        if (p - exponentStart < 2) return nullptr;
        scale += negativeExponent ? -exponent : exponent;
    }
    if (digits <= 15 && scale >= -22 && scale <= 22) {  // else the mantissa may have overflowed
        double m = static_cast<double>(mantissa);
        value = scale >= 0 ? m * kExact10[scale] : m / kExact10[-scale];
    } else if (std::from_chars(magnitude, p, value).ec == std::errc::result_out_of_range) {
        value = scale > 0 ? HUGE_VAL : 0.0;  // beyond a double: an infinity, or 0
    }
    if (negative) value = -value;
    return p;
}

bool parseReal(const char* text, std::size_t length, double& value) {
    return scanReal(text, text + length, value) == text + length;
}

const char* scanInt32(const char* text, const char* end) {
    const char* p = text;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* digitsStart = p;
    long long magnitude = 0;
    for (; p < end && isDigit(*p) && p - digitsStart < 11; ++p) magnitude = magnitude * 10 + (*p - '0');
    if (p == digitsStart || magnitude > (negative ? 2147483648LL : 2147483647LL)) return nullptr;
    return p;
}

bool isIntegerText(const char* text, std::size_t length) { return scanInt32(text, text + length) == text + length; }

}  // namespace zoneloads
