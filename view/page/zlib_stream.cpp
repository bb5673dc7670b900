#include "view/page/zlib_stream.h"

#include <zlib.h>

#include <new>

namespace zoneloads {
namespace view {
namespace {

// A deflate stream, ended whatever happens.
struct Deflater {
    z_stream stream{};
    Deflater() {
        if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
};

}  // namespace

std::string zlibStream(const std::string& raw) {
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

}  // namespace view
}  // namespace zoneloads
