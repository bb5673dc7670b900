#include "common/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstring>

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
int floorLog10Pow2(int e) {
    return e >= 0 ? (e * 78913) >> 18 : -(((-e) * 78913 + (1 << 18) - 1) >> 18);
}

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
void scaleExact(u32 m, int q, int k, Scaled& s) {
    Big num = bigFrom(m);
    Big den = bigFrom(1);
    if (q >= 0) bigShiftLeft(num, q); else bigShiftLeft(den, -q);
    if (k >= 0) bigMulPow10(den, k); else bigMulPow10(num, -k);

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

// The value m * 2^q (m > 0) rounded to six significant digits: digits in
// [100000, 999999] and the decimal exponent of the first one.
struct Decimal6 {
    u32 digits;
    int exponent;
};

Decimal6 roundTo6Digits(u32 m, int q, int e2) {
    // The value lies in [2^e2, 2^(e2+1)), so its decimal exponent is e10 or
    // e10 + 1, and dividing by 10^(e10-5) leaves an integer part in
    // [10^5, 10^7).
    int e10 = floorLog10Pow2(e2);
    Scaled s;
    scale(m, q, e10 - 5, s);
    if (s.whole >= 1000000) {
        ++e10;
        scale(m, q, e10 - 5, s);
    }
    u32 digits = static_cast<u32>(s.whole);
    if (s.half > 0 || (s.half == 0 && (digits & 1))) ++digits;
    if (digits == 1000000) return {100000, e10 + 1};
    return {digits, e10};
}

char* copyText(const char* text, char* out) {
    while (*text) *out++ = *text++;
    return out;
}

// "%g" layout of six digits with decimal exponent `exponent`: fixed notation
// for exponents -4 to 5, else d.ddddde+XX; trailing zeros dropped.
char* writeDecimal6(Decimal6 d, char* out) {
    char digits[6];
    std::memcpy(digits, kDigitPairs + 2 * (d.digits / 10000), 2);
    std::memcpy(digits + 2, kDigitPairs + 2 * (d.digits / 100 % 100), 2);
    std::memcpy(digits + 4, kDigitPairs + 2 * (d.digits % 100), 2);
    int count = 6;
    while (count > 1 && digits[count - 1] == '0') --count;

    int e = d.exponent;
    if (e < -4 || e >= 6) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            for (int i = 1; i < count; ++i) *out++ = digits[i];
        }
        *out++ = 'e';
        *out++ = e < 0 ? '-' : '+';
        int magnitude = e < 0 ? -e : e;  // at most 45 for a float32
        std::memcpy(out, kDigitPairs + 2 * magnitude, 2);
        return out + 2;
    }
    if (e >= 0) {
        int whole = e + 1;
        for (int i = 0; i < whole; ++i) *out++ = digits[i];
        if (count > whole) {
            *out++ = '.';
            for (int i = whole; i < count; ++i) *out++ = digits[i];
        }
        return out;
    }
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > e; --i) *out++ = '0';
    for (int i = 0; i < count; ++i) *out++ = digits[i];
    return out;
}

}  // namespace

char* formatFloat32(float32 value, char* out) {
    u32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits >> 31) *out++ = '-';
    u32 exponentBits = (bits >> 23) & 0xFF;
    u32 fraction = bits & 0x7FFFFF;
    if (exponentBits == 0xFF) return copyText(fraction ? "nan" : "inf", out);
    if (exponentBits == 0) {
        if (fraction == 0) {
            *out++ = '0';
            return out;
        }
        // Subnormal: fraction * 2^-149, its highest set bit gives the binary exponent.
        int highBit = 0;
        while ((fraction >> highBit) > 1) ++highBit;
        return writeDecimal6(roundTo6Digits(fraction, -149, highBit - 149), out);
    }
    int e2 = static_cast<int>(exponentBits) - 127;
    return writeDecimal6(roundTo6Digits(fraction | 0x800000, e2 - 23, e2), out);
}

char* formatInt32(int32 value, char* out) {
    // Work on the magnitude as unsigned, so that -2^31 has one too.
    u32 magnitude = static_cast<u32>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
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

std::string float32Text(float32 value) {
    char text[kMaxNumberChars];
    return std::string(text, formatFloat32(value, text));
}

std::string int32Text(int32 value) {
    char text[kMaxNumberChars];
    return std::string(text, formatInt32(value, text));
}

}  // namespace zoneloads
