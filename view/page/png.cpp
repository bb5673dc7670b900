#include "view/page/png.h"

#include <zlib.h>

#include <algorithm>
#include <new>

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

// A deflate stream for one picture. A 16 KiB window holds a whole carpet,
// and the smaller hash of memory level 6 is set up faster. The fastest
// level: a carpet's few colours compress nearly as well.
struct Deflater {
    z_stream stream{};
    Deflater() {
        // The only failure zlib has here is memory: the program's last catch tells it.
        if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 14, 6, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~Deflater() { deflateEnd(&stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
};

// The pixel rows as a zlib stream, as PNG's image data is.
std::string compressed(const std::string& raw) {
    Deflater deflater;
    z_stream& z = deflater.stream;
    std::string out(deflateBound(&z, static_cast<uLong>(raw.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);  // one call: the output has room for all of it (deflateBound)
    out.resize(z.total_out);
    return out;
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
    putChunk(png, "IDAT", compressed(raw));
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
