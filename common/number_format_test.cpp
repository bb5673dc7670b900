#include "common/number_format.h"
#include "testkit/zone_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

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

double parsed(const std::string& text) {
    double value = 12345;
    EXPECT_TRUE(parseReal(text.data(), text.size(), value)) << text;
    return value;
}

bool parses(const std::string& text) {
    double value;
    return parseReal(text.data(), text.size(), value);
}

// Every real keeps its sign and value, whichever path reads it: short ones
// in one operation, long digits and large exponents through the slow path.
TEST(ParseReal, KeepsSignAndValueOnEveryPath) {
    EXPECT_EQ(parsed("-8.47033e-22"), -8.47033e-22);
    EXPECT_EQ(parsed("8.47033e-22"), 8.47033e-22);
    EXPECT_EQ(parsed("-1e+23"), -1e23);
    EXPECT_EQ(parsed("-3.40282e+38"), -3.40282e38);
    EXPECT_EQ(parsed("-1.4013e-45"), -1.4013e-45);
    EXPECT_EQ(parsed("-1234567890123456789"), -1234567890123456789.0);
    EXPECT_EQ(parsed("-1500"), -1500.0);
    EXPECT_EQ(parsed("0.0123"), 0.0123);
    EXPECT_EQ(parsed("1.5e+06"), 1.5e6);
    EXPECT_EQ(parsed("1e-05"), 1e-5);
    EXPECT_TRUE(std::signbit(parsed("-0")));
    EXPECT_FALSE(std::signbit(parsed("0")));
    EXPECT_TRUE(std::isnan(parsed("nan")) && !std::signbit(parsed("nan")));
    EXPECT_TRUE(std::isnan(parsed("-nan")) && std::signbit(parsed("-nan")));
    EXPECT_EQ(parsed("-inf"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parsed("1e+999"), std::numeric_limits<double>::infinity());
    // Whatever formatFloat32 writes reads back to its text's value.
    for (std::uint32_t bits = 0; bits < 0xFF800000u; bits += 0x00C0FFEEu) {
        float f = fromBits(bits);
        std::string text = float32Text(f);
        EXPECT_EQ(parsed(text), std::strtod(text.c_str(), nullptr)) << text;
    }
}

TEST(ParseReal, TakesTheReportsGrammarAndNothingElse) {
    for (const char* bad :
         {"",     "-",   "19-89", "24n98", "16e",  "0.012.3", "+1",       "1.",  ".5",   "1E+06", "1e5",
          "1e+5", "1e+", " 1",    "1 ",    "nan1", "Nan",     "infinity", "--1", "0x10", "1,5",   "1e+00001"}) {
        EXPECT_FALSE(parses(bad)) << bad;
    }
    for (const char* good : {"0", "-0", "12.5", "100000", "1e+06", "1.23457e-05", "9.99995e-41", "nan", "-inf"}) {
        EXPECT_TRUE(parses(good)) << good;
    }
}

TEST(IntegerText, DecimalInt32Only) {
    for (const char* good : {"0", "7", "-1", "2147483647", "-2147483648"})
        EXPECT_TRUE(isIntegerText(good, std::strlen(good))) << good;
    for (const char* bad : {"", "-", "+1", "2147483648", "-2147483649", "99999999999", "1.0", "1e2", " 1"}) {
        EXPECT_FALSE(isIntegerText(bad, std::strlen(bad))) << bad;
    }
}

}  // namespace
}  // namespace zoneloads
