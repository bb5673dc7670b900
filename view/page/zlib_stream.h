// Bytes as a zlib stream, as a PNG's image data and the page's values hold
// them (the browser inflates the values itself).
#pragma once

#include <string>

namespace zoneloads {
namespace view {

// How to look for what repeats: `pictures` for pixel rows (the fastest
// level, a window of 16 KiB); `runs` for the page's values, where runs of
// equal bytes are most of what repeats and a longer search would cost far
// more time than it saves bytes.
enum class ZlibKind { pictures, runs };

// `raw` as one zlib stream. Throws std::bad_alloc when zlib has no memory,
// its only failure here.
std::string zlibStream(const std::string& raw, ZlibKind kind);

}  // namespace view
}  // namespace zoneloads
