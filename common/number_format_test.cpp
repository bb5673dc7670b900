#include "common/number_format.h"
#include "testkit/zone_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zoneloads {
namespace {

using testkit::float32Text;

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string printfG(float f) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(f));
    return text;
}

TEST(Float32Text, WritesGeneralNotationWithSixDigits) {
    EXPECT_EQ(float32Text(20.0f), "20");
    EXPECT_EQ(float32Text(0.5f), "0.5");
    EXPECT_EQ(float32Text(21.3f), "21.3");
    EXPECT_EQ(float32Text(-154.2f), "-154.2");
    EXPECT_EQ(float32Text(0.0123f), "0.0123");
    EXPECT_EQ(float32Text(-0.82f), "-0.82");
    EXPECT_EQ(float32Text(180.5f), "180.5");
    EXPECT_EQ(float32Text(123456.7f), "123457");
    EXPECT_EQ(float32Text(999999.4f), "999999");
}

TEST(Float32Text, SwitchesToExponentBelowMinusFourAndFromSix) {
    EXPECT_EQ(float32Text(1.5e6f), "1.5e+06");
    EXPECT_EQ(float32Text(1e6f), "1e+06");
    EXPECT_EQ(float32Text(999999.7f), "1e+06");  // rounds up into the exponent form
    EXPECT_EQ(float32Text(1e-5f), "1e-05");
    EXPECT_EQ(float32Text(0.0001f), "0.0001");
    EXPECT_EQ(float32Text(3.4028235e38f), "3.40282e+38");
    EXPECT_EQ(float32Text(fromBits(1)), "1.4013e-45");  // smallest subnormal
}

TEST(Float32Text, RoundsExactTiesToEven) {
    EXPECT_EQ(float32Text(100000.5f), "100000");
    EXPECT_EQ(float32Text(100001.5f), "100002");
    EXPECT_EQ(float32Text(2.5f), "2.5");
}

TEST(Float32Text, WritesSpecialValuesWithoutThePlatform) {
    EXPECT_EQ(float32Text(0.0f), "0");
    EXPECT_EQ(float32Text(-0.0f), "-0");
    EXPECT_EQ(float32Text(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(float32Text(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(float32Text(fromBits(0x7FC00000u)), "nan");
    EXPECT_EQ(float32Text(fromBits(0xFFC00000u)), "-nan");
    EXPECT_EQ(float32Text(fromBits(0x7F800001u)), "nan");  // signalling NaN
}

// The C library's "%g" is the reference; compare over a spread of patterns
// that reaches every exponent (the full proof is the format-check program).
TEST(Float32Text, MatchesPrintfAcrossExponents) {
    int mismatches = 0;
    for (std::uint32_t bits = 0; bits < 0x7F800000u; bits += 0x1F3Bu) {
        for (std::uint32_t sign : {0u, 0x80000000u}) {
            float f = fromBits(bits | sign);
            if (float32Text(f) != printfG(f) && ++mismatches < 10) {
                ADD_FAILURE() << std::hex << (bits | sign) << ": " << float32Text(f) << " vs " << printfG(f);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Float32Text, MatchesPrintfAroundTheSwitchPoints) {
    for (float centre : {1e-5f, 1e-4f, 1e5f, 1e6f, 9.999995e-5f, 999999.5f, 1.5e-05f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &centre, sizeof bits);
        for (std::uint32_t b = bits - 2000; b < bits + 2000; ++b) {
            ASSERT_EQ(float32Text(fromBits(b)), printfG(fromBits(b))) << std::hex << b;
        }
    }
}

TEST(Int32Text, WritesPlainDecimal) {
    EXPECT_EQ(int32Text(0), "0");
    EXPECT_EQ(int32Text(7), "7");
    EXPECT_EQ(int32Text(-1), "-1");
    EXPECT_EQ(int32Text(1234567), "1234567");
    EXPECT_EQ(int32Text(std::numeric_limits<int32>::max()), "2147483647");
    EXPECT_EQ(int32Text(std::numeric_limits<int32>::min()), "-2147483648");
}

}  // namespace
}  // namespace zoneloads
