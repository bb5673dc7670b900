// A minimal PNG writer for small images of few colours: 8-bit indexed
// colour, the pixel rows compressed by zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zoneloads {
namespace view {

struct Rgb {
    std::uint8_t r, g, b;
};

// The PNG file of a `width` x `height` image whose pixels (row by row, top
// first) index `palette` (at most 256 colours).
std::string indexedPng(int width, int height, const std::vector<Rgb>& palette, const std::vector<std::uint8_t>& pixels);

// `bytes` in base64, for a data: URL.
std::string base64(const std::string& bytes);
// base64, appended to `out`.
void appendBase64(std::string& out, const std::string& bytes);

}  // namespace view
}  // namespace zoneloads
