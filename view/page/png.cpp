#include "view/page/png.h"

#include <zlib.h>

#include <algorithm>

#include "view/page/zlib_stream.h"

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
        raw.append(reinterpret_cast<const char*>(pixels.data()) +
                       static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                   static_cast<std::size_t>(width));
    }
    putChunk(png, "IDAT", zlibStream(raw, ZlibKind::pictures));
    putChunk(png, "IEND", "");
    return png;
}

std::string base64(const std::string& bytes) {
    std::string out;
    appendBase64(out, bytes);
    return out;
}

void appendBase64(std::string& out, const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t start = out.size();
    out.resize(start + (bytes.size() + 2) / 3 * 4, '=');
    char* at = &out[start];
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
}

}  // namespace view
}  // namespace zoneloads
