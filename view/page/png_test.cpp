#include "view/page/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <string>
#include <vector>

namespace zoneloads {
namespace view {
namespace {

// An indexed-colour PNG as a browser reads it back.
struct DecodedPng {
    bool ok = false;
    std::string fault;  // what a reader would refuse, when not ok
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> pixels;  // row by row, top first
};

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// Reads the signature, every chunk with its CRC, the header of an 8-bit
// indexed image, the palette, and the inflated rows, each of filter None.
DecodedPng decodePng(const std::string& png) {
    DecodedPng image;
    auto refuse = [&image](const std::string& why) {
        image.fault = why;
        return image;
    };
    if (png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return refuse("signature");
    std::string compressed;
    std::vector<std::string> order;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        std::size_t length = bigEndian(png, at);
        if (at + 12 + length > png.size()) return refuse("chunk past the end");
        std::string typed = png.substr(at + 4, 4 + length);
        uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
        if (bigEndian(png, at + 8 + length) != crc) return refuse("CRC of " + typed.substr(0, 4));
        std::string type = typed.substr(0, 4);
        std::string data = typed.substr(4);
        order.push_back(type);
        if (type == "IHDR") {
            if (data != data.substr(0, 8) + std::string("\x08\x03\x00\x00\x00", 5)) return refuse("header");
            image.width = static_cast<int>(bigEndian(data, 0));
            image.height = static_cast<int>(bigEndian(data, 4));
        } else if (type == "PLTE") {
            if (data.size() % 3 != 0 || data.size() > 3 * 256) return refuse("palette");
            for (std::size_t i = 0; i < data.size(); i += 3) {
                image.palette.push_back({static_cast<std::uint8_t>(data[i]), static_cast<std::uint8_t>(data[i + 1]),
                                         static_cast<std::uint8_t>(data[i + 2])});
            }
        } else if (type == "IDAT") {
            compressed += data;
        }
        at += 12 + length;
    }
    if (at != png.size() || order.size() < 4 || order.front() != "IHDR" || order[1] != "PLTE" ||
        order.back() != "IEND") {
        return refuse("chunks");
    }
    std::size_t stride = static_cast<std::size_t>(image.width) + 1;
    std::string raw(stride * static_cast<std::size_t>(image.height) + 1, '\0');  // one byte more: nothing beyond
    uLongf size = static_cast<uLongf>(raw.size());
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                   static_cast<uLong>(compressed.size())) != Z_OK ||
        size != raw.size() - 1) {
        return refuse("image data");
    }
    for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row) {
        if (raw[row * stride] != '\0') return refuse("row filter");
        for (std::size_t x = 1; x < stride; ++x) {
            auto index = static_cast<std::uint8_t>(raw[row * stride + x]);
            if (index >= image.palette.size()) return refuse("index beyond the palette");
            image.pixels.push_back(index);
        }
    }
    image.ok = true;
    return image;
}

bool sameColours(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b) return false;
    }
    return true;
}

// The image reads back as it was given: its size, its palette and every
// pixel, from the smallest picture to a carpet of the year's every hour
// with the whole palette.
TEST(Png, DecodesToTheImageGiven) {
    struct Case {
        int width, height;
        std::vector<Rgb> palette;
        std::vector<std::uint8_t> pixels;
    };
    std::vector<Rgb> all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                            static_cast<std::uint8_t>(i * 7)};
    }
    std::vector<std::uint8_t> carpet(365 * 24);
    for (std::size_t i = 0; i < carpet.size(); ++i) carpet[i] = static_cast<std::uint8_t>((i * 37 + i / 365) % 256);
    std::vector<Case> cases = {
        {2, 1, {{0, 0, 0}, {255, 255, 255}}, {0, 1}},
        {3, 2, {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}}, {2, 1, 0, 0, 1, 2}},
        {365, 24, all, carpet},
    };
    for (const Case& c : cases) {
        DecodedPng image = decodePng(indexedPng(c.width, c.height, c.palette, c.pixels));
        ASSERT_TRUE(image.ok) << c.width << "x" << c.height << ": " << image.fault;
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_TRUE(sameColours(image.palette, c.palette)) << c.width << "x" << c.height;
        EXPECT_EQ(image.pixels, c.pixels) << c.width << "x" << c.height;
    }
}

TEST(Png, Base64) {
    EXPECT_EQ(base64("Man"), "TWFu");
    EXPECT_EQ(base64("Ma"), "TWE=");
    EXPECT_EQ(base64("M"), "TQ==");
    EXPECT_EQ(base64(""), "");
    EXPECT_EQ(base64(std::string("\xFF\xFE\x00", 3)), "//4A");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
