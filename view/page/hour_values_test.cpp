#include "view/page/hour_values.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "common/number_display.h"

namespace zoneloads {
namespace view {
namespace {

// The page's values read back as doc/formats.md describes them (and as the
// page's script reads them): base64, then a zlib stream, then per series a
// code, and either the decimals and the changes as zigzag varints, or
// float32s.
std::vector<std::vector<double>> decoded(const std::string& text) {
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string packed;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        buffer = buffer << 6 | static_cast<unsigned>(letters.find(c));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            packed += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    std::vector<unsigned char> raw(1 << 22);
    uLongf size = static_cast<uLongf>(raw.size());
    EXPECT_EQ(
        uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())),
        Z_OK);
    std::vector<std::vector<double>> series;
    const double tens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    for (std::size_t at = 0; at < size;) {
        std::vector<double> values;
        if (raw[at++] == 0) {
            double ten = tens[raw[at++]];
            std::int64_t integer = 0;
            for (int h = 0; h < kHoursPerYear; ++h) {
                std::uint64_t n = 0;
                for (int shift = 0;; shift += 7) {
                    unsigned char b = raw[at++];
                    n |= static_cast<std::uint64_t>(b & 0x7F) << shift;
                    if (!(b & 0x80)) break;
                }
                integer += n & 1 ? -static_cast<std::int64_t>((n + 1) / 2) : static_cast<std::int64_t>(n / 2);
                values.push_back(static_cast<double>(integer) / ten);
            }
        } else {
            for (int h = 0; h < kHoursPerYear; ++h, at += 4) {
                std::uint32_t bits32 =
                    raw[at] | raw[at + 1] << 8 | raw[at + 2] << 16 | static_cast<std::uint32_t>(raw[at + 3]) << 24;
                float f;
                std::memcpy(&f, &bits32, sizeof f);
                values.push_back(f);
            }
        }
        series.push_back(values);
    }
    return series;
}

// A year of values from the report's texts, the pattern repeated.
std::vector<double> year(const std::vector<const char*>& texts) {
    std::vector<double> values;
    for (int h = 0; h < kHoursPerYear; ++h) values.push_back(std::strtod(texts[h % texts.size()], nullptr));
    return values;
}

// Every value comes back as the very number the viewer read from the
// report: decimals when the series' values are short decimals (the fewest
// that hold them all), float32 otherwise, which still prints back as the
// report's text.
TEST(HourValues, EveryValueComesBackAsTheReportWritesIt) {
    std::vector<double> loads = year({"-1599.5", "0", "2507.2", "-24.8", "1e+06", "3"});
    std::vector<double> temperatures = year({"15.73", "29.76", "15.8", "16", "-3.05"});
    std::vector<double> small = year({"0.000123456", "1.5e-05", "0"});
    std::vector<double> odd = year({"nan", "-inf", "inf", "1.5"});
    std::vector<double> sevenDigits = year({"1.234567", "9876543", "-0.5"});
    std::vector<double> huge = year({"3.40282e+38", "-1e+20", "5"});
    std::vector<const std::vector<double>*> all = {&loads, &temperatures, &small, &odd, &sevenDigits, &huge};

    int decimals;
    EXPECT_EQ(seriesCode(loads, decimals), SeriesCode::decimal);
    EXPECT_EQ(decimals, 1);
    EXPECT_EQ(seriesCode(temperatures, decimals), SeriesCode::decimal);
    EXPECT_EQ(decimals, 2);
    EXPECT_EQ(seriesCode(small, decimals), SeriesCode::decimal);
    EXPECT_EQ(decimals, 9);
    EXPECT_EQ(seriesCode(odd, decimals), SeriesCode::float32);
    EXPECT_EQ(seriesCode(huge, decimals), SeriesCode::float32);

    std::vector<std::vector<double>> back = decoded(encodeHourValues(all));
    ASSERT_EQ(back.size(), all.size());
    for (std::size_t s = 0; s < all.size(); ++s) {
        ASSERT_EQ(back[s].size(), static_cast<std::size_t>(kHoursPerYear)) << s;
        for (int h = 0; h < kHoursPerYear; ++h) {
            double want = (*all[s])[static_cast<std::size_t>(h)], got = back[s][static_cast<std::size_t>(h)];
            if (seriesCode(*all[s], decimals) == SeriesCode::decimal) {
                EXPECT_EQ(got, want) << s << " " << h;  // the very double
            } else {
                EXPECT_EQ(reportText(got), reportText(want)) << s << " " << h;  // the report's text
            }
        }
    }
    EXPECT_TRUE(std::isnan(back[3][0]));
}

// A year of smooth values takes far fewer bytes than its float32s would.
TEST(HourValues, SmoothSeriesTakeFewBytes) {
    std::vector<double> constant(static_cast<std::size_t>(kHoursPerYear), 25.0);
    std::vector<double> daily;
    for (int h = 0; h < kHoursPerYear; ++h) daily.push_back(h % 24 < 8 ? 0 : 1500.5 + 10 * (h % 24));
    std::string text = encodeHourValues({&constant, &daily, &constant});
    EXPECT_LT(text.size(), 8000u) << text.size();  // three years of float32s in base64: 140 kB
}

TEST(HourValues, Base64) {
    EXPECT_EQ(base64("Man"), "TWFu");
    EXPECT_EQ(base64("Ma"), "TWE=");
    EXPECT_EQ(base64("M"), "TQ==");
    EXPECT_EQ(base64(""), "");
    EXPECT_EQ(base64(std::string("\xFF\xFE\x00", 3)), "//4A");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
