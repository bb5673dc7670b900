// format-check: proves the float32 formatter against the standard library.
//
//   format-check --all      every one of the 2^32 float bit patterns
//   format-check --sample   a fixed sample: every exponent, the patterns near
//                           every power of ten (where the fixed and exponent
//                           forms switch and the digit count changes), exact
//                           sixth-digit ties, and four million random ones
//   format-check --page-sample
//                           prints, for a fixed sample of doubles, each one's
//                           bits (16 hex digits) and the viewer's text of it
//                           (general6), a line each: what the page's script
//                           must write for them (.ci/page_check.py checks it)
//
// Each pattern is formatted by formatFloat32 and by
// std::to_chars(double, general, 6); for finite values std::to_chars is in
// turn compared with snprintf("%g"), the form the report follows. Prints the
// patterns checked and the mismatches, and fails when there is any. Each
// pattern's float32TextValue is checked to be, bit for bit, what parseReal
// reads from the formatter's text.
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/number_display.h"
#include "common/number_format.h"
#include "common/pipeline.h"

namespace {

using u32 = std::uint32_t;

std::atomic<unsigned long long> mismatches{0};
std::atomic<unsigned long long> printed{0};

float fromBits(u32 bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void report(u32 bits, const char* what, const std::string& a, const std::string& b) {
    if (printed++ < 20) std::printf("mismatch %08x (%s): '%s' vs '%s'\n", bits, what, a.c_str(), b.c_str());
    ++mismatches;
}

void check(u32 bits, bool withPrintf) {
    float f = fromBits(bits);
    char mine[zoneloads::kMaxNumberChars];
    std::string ours(mine, zoneloads::formatFloat32(f, mine));

    // The value a reader gets back, found without the text, is the text's.
    double parsed = 0;
    zoneloads::parseReal(ours.data(), ours.size(), parsed);
    double direct = zoneloads::float32TextValue(f);
    if (std::memcmp(&parsed, &direct, sizeof parsed) != 0) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", direct);
        report(bits, "float32TextValue", ours, text);
    }

    char std6[64];
    auto result = std::to_chars(std6, std6 + sizeof std6, static_cast<double>(f), std::chars_format::general, 6);
    std::string reference(std6, result.ptr);
    if (ours != reference) report(bits, "to_chars", ours, reference);

    if (withPrintf && std::isfinite(f)) {
        char c[64];
        std::snprintf(c, sizeof c, "%g", static_cast<double>(f));
        if (reference != c) report(bits, "snprintf", reference, c);
    }
}

// Every pattern, in blocks of 2^16 on the pipeline's threads, one a core.
// snprintf is checked on one pattern in `printfStride`, to keep the run
// within minutes.
void checkAll(int threads, u32 printfStride) {
    zoneloads::Pipeline<bool> blocks(threads, static_cast<std::size_t>(threads) * 2);
    for (u32 b = 0; b < (1u << 16); ++b) {
        if (blocks.full()) blocks.takeOldest();
        blocks.give([b, printfStride] {
            for (u32 i = 0; i < (1u << 16); ++i) {
                u32 bits = b << 16 | i;
                check(bits, bits % printfStride == 0);
            }
            return true;
        });
    }
    while (!blocks.empty()) blocks.takeOldest();
}

unsigned long long checkSample() {
    unsigned long long count = 0;
    auto both = [&](u32 bits) {  // the pattern and its negative
        check(bits, true);
        check(bits | 0x80000000u, true);
        count += 2;
    };
    // Every exponent (subnormals, infinities and NaNs included), at its
    // lowest, highest and a spread of fractions.
    for (u32 e = 0; e < 256; ++e) {
        for (u32 f = 0; f < 512; ++f) both(e << 23 | f);
        for (u32 f = 0; f < 512; ++f) both(e << 23 | (0x7FFFFFu - f));
        for (u32 f = 0; f < 0x7FFFFFu; f += 4099) both(e << 23 | f);
    }
    // Near every power of ten, and near the values where six digits round up
    // to the next power (9.999995 * 10^n): the digit count and the fixed or
    // exponent form change there.
    for (int n = -45; n <= 38; ++n) {
        for (double centre : {std::pow(10.0, n), 9.999995 * std::pow(10.0, n - 1)}) {
            float near = static_cast<float>(centre);
            u32 bits;
            std::memcpy(&bits, &near, sizeof bits);
            for (int d = -4096; d <= 4096; ++d) {
                if (static_cast<long long>(bits) + d >= 0) both(static_cast<u32>(static_cast<long long>(bits) + d));
            }
        }
    }
    // Exact ties at the sixth digit: k + 0.5 for six-digit k (100000.5,
    // 100001.5 ...), and k * 10^-6 for ties of the form 1.5e-05's
    // neighbours, with their neighbouring patterns.
    for (u32 k = 100000; k < 1000000; k += 7) {
        for (float v : {static_cast<float>(k) + 0.5f, static_cast<float>(k) * 1e-10f, static_cast<float>(k) * 1e-11f}) {
            u32 bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (u32 d = 0; d < 3; ++d) both(bits - 1 + d);
        }
    }
    // Random patterns from a fixed generator.
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    for (int i = 0; i < 4000000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        check(static_cast<u32>(state >> 16), true);
        ++count;
    }
    return count;
}

// The page's sample: no numbers and infinities, values where the fixed and
// exponent forms switch, exact sixth-digit ties of every size (ties to
// even, where a script's own rounding goes away from zero), sums and
// differences of report values, and random doubles of every size.
void printPageSample() {
    std::vector<double> sample = {0.0, -0.0, NAN, INFINITY, -INFINITY, 4.9e-324, 1.7976931348623157e308, 0.5, 2.5};
    for (int n = -12; n <= 20; ++n) {
        for (double centre : {std::pow(10.0, n), 9.999995 * std::pow(10.0, n - 1)}) {
            double v = centre;
            for (int d = 0; d < 3; ++d) v = std::nextafter(v, 0.0);
            for (int d = 0; d < 7; ++d, v = std::nextafter(v, INFINITY)) sample.push_back(v);
        }
    }
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    // A tie is t * 10^p for a seven-digit t ending in 5; below 1 it is a
    // double only when 5^-p divides t: t = r * 5^q is r / 2^q times 10^q.
    for (int q = 0; q <= 10; ++q) {
        double five = std::pow(5.0, q);
        for (int found = 0, tries = 0; found < 100 && tries < 200000; ++tries) {
            double r = static_cast<double>(next() % static_cast<std::uint64_t>(1e7 / five + 1));
            double t = r * five;
            if (t < 1e6 || t >= 1e7 || std::fmod(t, 10) != 5) continue;
            ++found;
            sample.push_back(std::ldexp(r, -q));                                   // t * 10^-q
            for (int p = 1; p <= 8; ++p) sample.push_back(t * std::pow(10.0, p));  // whole numbers: exact
        }
    }
    for (int i = 0; i < 5000; ++i) {
        double a = static_cast<double>(static_cast<float>(static_cast<std::int64_t>(next() % 4000000) - 2000000) / 10);
        double b = static_cast<double>(static_cast<float>(static_cast<std::int64_t>(next() % 4000000) - 2000000) / 10);
        sample.push_back(a + b);
        sample.push_back(a - b);
        sample.push_back((a + b) / 1000);
        std::uint64_t bits = next();
        bits = (bits & 0x800FFFFFFFFFFFFFull) | (static_cast<std::uint64_t>(1023 - 40 + next() % 90) << 52);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        sample.push_back(v);
    }
    for (double v : sample) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        std::printf("%016llx %s\n", static_cast<unsigned long long>(bits), zoneloads::general6(v).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    unsigned long long checked;
    if (mode == "--all") {
        checkAll(zoneloads::processorCount(), 16);
        checked = 1ull << 32;
    } else if (mode == "--sample") {
        checked = checkSample();
    } else if (mode == "--page-sample") {
        printPageSample();
        return 0;
    } else {
        std::fputs("usage: format-check --all | --sample | --page-sample\n", stderr);
        return 2;
    }
    std::printf("checked %llu patterns, %llu mismatches\n", checked, mismatches.load());
    return mismatches == 0 ? 0 : 1;
}
