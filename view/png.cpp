#include "view/png.h"

#include <zlib.h>

#include <algorithm>

namespace zoneloads {
namespace view {
namespace {

void putBigEndian(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// A chunk: length, type, data, CRC of type and data.
void putChunk(std::string& png, const char* type, const std::string& data) {
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    putBigEndian(png, static_cast<std::uint32_t>(crc));
}

// The pixel rows as a zlib stream, as PNG's image data is. The fastest level:
// a carpet's few colours compress nearly as well, and the page has hundreds.
std::string compressed(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string z(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&z[0]), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), Z_BEST_SPEED);
    z.resize(size);
    return z;
}

}  // namespace

std::string indexedPng(int width, int height, const std::vector<Rgb>& palette,
                       const std::vector<std::uint8_t>& pixels) {
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x03\x00\x00\x00", 5);  // 8 bits, indexed, deflate, no filter choice, no interlace
    putChunk(png, "IHDR", header);
    std::string colours;
    for (const Rgb& c : palette) {
        colours += static_cast<char>(c.r);
        colours += static_cast<char>(c.g);
        colours += static_cast<char>(c.b);
    }
    putChunk(png, "PLTE", colours);
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) + 1));
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter type None
        raw.append(reinterpret_cast<const char*>(pixels.data()) + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                   static_cast<std::size_t>(width));
    }
    putChunk(png, "IDAT", compressed(raw));
    putChunk(png, "IEND", "");
    return png;
}

std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                          static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace view
}  // namespace zoneloads
