#include "reportfile/report_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Values of every form a report holds: NaN of both signs, infinities, both
// zeros, subnormals, the largest float32, exponent forms and plain ones.
const std::vector<float> kValues = {std::numeric_limits<float>::quiet_NaN(),
                                    fromBits(0xFFC00000u),
                                    std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(),
                                    0.0f,
                                    -0.0f,
                                    fromBits(1),
                                    -fromBits(0x007FFFFFu),
                                    1e38f,
                                    -3.4028235e38f,
                                    1.5e6f,
                                    -0.000123457f,
                                    8.47033e-22f,
                                    -8.47033e-22f,
                                    -1e23f,
                                    21.3f,
                                    -154.2f,
                                    0.0123f,
                                    999999.5f,
                                    123456.7f,
                                    0.5f,
                                    -1.0f};

// A value read back from its text is the text's value: written again it is
// the same text, with the same sign, and it is the float32 within the
// rounding to six digits.
void expectReadBack(const Field& field, float written) {
    std::string text(field.text, field.length);
    double value;
    ASSERT_TRUE(parseReal(field.text, field.length, value)) << text;
    char again[kMaxNumberChars];
    EXPECT_EQ(std::string(again, formatFloat32(static_cast<float>(value), again)), text);
    EXPECT_EQ(std::signbit(value), std::signbit(written)) << text;
    if (std::isnan(written)) {
        EXPECT_TRUE(std::isnan(value)) << text;
    } else if (std::isinf(written) || written == 0) {
        EXPECT_EQ(value, static_cast<double>(written)) << text;
    } else {
        EXPECT_LE(std::fabs(value - written), std::fabs(static_cast<double>(written)) * 5e-6) << text;
    }
}

std::vector<std::string> splitLines(const char* begin, const char* end) {
    std::vector<std::string> lines;
    for (const char* p = begin; p < end;) {
        const char* stop = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        EXPECT_TRUE(stop && stop > p && stop[-1] == '\r');
        lines.emplace_back(p, static_cast<std::size_t>(stop - 1 - p));
        p = stop + 1;
    }
    return lines;
}

TEST(ReportFormat, OpeningLinesReadBackNameAndWeights) {
    // Names of every byte but NUL and the line breaks, 52 at a time, and the
    // empty name.
    std::vector<std::string> names = {""};
    std::string odd;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n') odd += static_cast<char>(b);
    }
    for (std::size_t at = 0; at < odd.size(); at += kNameBytes) names.push_back(odd.substr(at, kNameBytes));
    names.push_back(" : # Pesos g(i) # tambien");
    for (const std::string& name : names) {
        auto zone = testkit::makeZone(name, 0);
        for (int i = 0; i < kWeightsG; ++i) zone->g[i] = kValues[static_cast<std::size_t>(i) % kValues.size()];
        zone->p[0] = -0.0f;
        zone->p[1] = 1e38f;
        std::vector<char> text(kOpeningLines * kMaxLineBytes);
        char* end = writeOpeningLines(text.data(), *zone);
        std::vector<std::string> lines = splitLines(text.data(), end);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(kOpeningLines));
        for (int i = 0; i < kOpeningLines; ++i) {
            const OpeningLine& shape = kBlockOpening[i];
            const std::string& line = lines[static_cast<std::size_t>(i)];
            Field fields[kWeightsG];
            switch (shape.shape) {
                case OpeningShape::fixed: EXPECT_EQ(line, shape.text); break;
                case OpeningShape::name:
                    // Read back by the section reader (report_reader_test.cpp).
                    EXPECT_EQ(line, std::string(kNameStart) + name + std::string(kNameEnd));
                    break;
                case OpeningShape::weightsG:
                    ASSERT_TRUE(splitFields(line, kWeightSeparator, fields, kWeightsG)) << line;
                    for (int w = 0; w < kWeightsG; ++w) expectReadBack(fields[w], zone->g[w]);
                    break;
                case OpeningShape::weightsP:
                    ASSERT_TRUE(splitFields(line, kWeightSeparator, fields, kWeightsP)) << line;
                    for (int w = 0; w < kWeightsP; ++w) expectReadBack(fields[w], zone->p[w]);
                    break;
            }
        }
    }
}

TEST(ReportFormat, HourExtremesAndTotalsLinesReadBackExactly) {
    auto zone = testkit::makeZone("Z", 0);
    const std::size_t n = kValues.size();
    for (int h = 0; h < kHoursPerYear; ++h) {
        auto at = [&](int shift) { return kValues[static_cast<std::size_t>(h + shift) % n]; };
        zone->Treal[h] = at(0);
        zone->Tmax[h] = h % 3 ? at(1) : zone->Tmax[h > 0 ? h - 1 : 0];  // repeats: the copied column text
        zone->Tmin[h] = at(2);
        zone->Qs[h] = at(3);
        zone->QL[h] = at(5);
        zone->VventInf[h] = at(7);
        zone->daCal[h] = h % 2 ? -2147483647 - 1 : h;
        zone->daRef[h] = h % 5 ? 2147483647 : -h;
    }
    std::vector<char> text(kHoursPerYear * kMaxHourLineBytes + kMaxNumberChars + 16);
    char* end = text.data();
    LastWrittenLine cache;
    for (int h = 0; h < kHoursPerYear; ++h) end = writeHourLine(end, *zone, h, cache);
    std::vector<std::string> lines = splitLines(text.data(), end);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kHoursPerYear));
    for (int h = 0; h < kHoursPerYear; ++h) {
        std::string line = lines[static_cast<std::size_t>(h)] + std::string(8, '\0');  // the room the splitter may read
        Field f[kHourFields];
        ASSERT_TRUE(splitHourLine(std::string_view(line.data(), line.size() - 8), f)) << line;
        expectReadBack(f[hourField(kTreal)], zone->Treal[h]);
        expectReadBack(f[hourField(kTmax)], zone->Tmax[h]);
        expectReadBack(f[hourField(kTmin)], zone->Tmin[h]);
        expectReadBack(f[hourField(kQs)], zone->Qs[h]);
        expectReadBack(f[hourField(kQL)], zone->QL[h]);
        expectReadBack(f[hourField(kVventInf)], zone->VventInf[h]);
        EXPECT_EQ(std::string(f[kDaCalField].text, f[kDaCalField].length), int32Text(zone->daCal[h]));
        EXPECT_EQ(std::string(f[kDaRefField].text, f[kDaRefField].length), int32Text(zone->daRef[h]));
        EXPECT_TRUE(isIntegerText(f[kDaCalField].text, f[kDaCalField].length));
    }

    // Read in one pass, with the columns that repeat taken from the line
    // before, the lines give the same values.
    LastReadLine memo;
    const char* at = text.data();
    for (int h = 0; h < kHoursPerYear; ++h) {
        const char* lineEnd = static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
        double reals[6];
        Field f[kHourFields];
        ASSERT_TRUE(readHourLine(std::string_view(at, static_cast<std::size_t>(lineEnd - at)), memo, reals, f)) << h;
        const float written[6] = {zone->Treal[h], zone->Tmax[h], zone->Tmin[h],
                                  zone->Qs[h],    zone->QL[h],   zone->VventInf[h]};
        for (int c = 0; c < 6; ++c) {
            double value;
            ASSERT_TRUE(parseReal(f[c].text, f[c].length, value));
            EXPECT_TRUE(reals[c] == value || (std::isnan(reals[c]) && std::isnan(value))) << h << " " << c;
            EXPECT_EQ(std::signbit(reals[c]), std::signbit(written[c])) << h << " " << c;
        }
        at = lineEnd + 2;
    }

    for (std::size_t i = 0; i + 3 < n; ++i) {
        char line[kMaxLineBytes];
        end = writeTotalsLine(line, kValues[i], kValues[i + 1], kValues[i + 2], kValues[i + 3]);
        std::vector<std::string> read = splitLines(line, end);
        Field f[kTotalsFields];
        ASSERT_TRUE(splitFields(read[0], kSeparator, f, kTotalsFields)) << read[0];
        for (int c = 0; c < kTotalsFields; ++c) expectReadBack(f[c], kValues[i + static_cast<std::size_t>(c)]);
        end = writeExtremesLine(line, kValues[i], kValues[i + 1]);
        read = splitLines(line, end);
        ASSERT_TRUE(splitFields(read[0], kSeparator, f, 2)) << read[0];
        expectReadBack(f[0], kValues[i]);
        expectReadBack(f[1], kValues[i + 1]);
    }
}

}  // namespace
}  // namespace zoneloads
