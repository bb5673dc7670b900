// Bytes as a zlib stream, as the page holds its values (the browser inflates
// them itself).
#pragma once

#include <string>

namespace zoneloads {
namespace view {

// `raw` as one zlib stream, looking for runs of equal bytes only: they are
// most of what repeats in the page's values, and a longer search would cost
// far more time than it saves bytes. Throws std::bad_alloc when zlib has no
// memory, its only failure here.
std::string zlibStream(const std::string& raw);

}  // namespace view
}  // namespace zoneloads
