#include "view/png.h"

#include <algorithm>
#include <array>

namespace zoneloads {
namespace view {
namespace {

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t crc32(const std::string& bytes) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// A chunk: length, type, data, CRC of type and data.
void putChunk(std::string& png, const char* type, const std::string& data) {
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    putBigEndian(png, crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string storedZlib(const std::string& raw) {
    std::string z = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t at = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + n == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    putBigEndian(z, (b << 16) | a);
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
    putChunk(png, "IDAT", storedZlib(raw));
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
