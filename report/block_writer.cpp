#include "report/block_writer.h"

#include <functional>

#include "common/platform.h"

namespace zoneloads {
namespace {

void writeBlocks(BlockWriter& w) {
    if (!w.replaced.empty()) dropCachedContents(w.replaced);
    std::unique_lock<std::mutex> lock(w.mutex);
    long long offset = 0;
    for (;;) {
        w.changed.wait(lock, [&w] { return w.full || w.stopping; });
        if (!w.full) return;
        lock.unlock();
        bool written = std::fwrite(w.block.data(), 1, w.blockBytes, w.file) == w.blockBytes;
        // Start the block on its way to the disk now, on this thread, rather
        // than all at once when the finished report replaces the old one.
        if (written) startWriteback(w.file, offset, static_cast<long long>(w.blockBytes));
        offset += static_cast<long long>(w.blockBytes);
        lock.lock();
        if (!written) w.failed = true;
        w.full = false;
        w.changed.notify_all();
    }
}

}  // namespace

void startBlockWriter(BlockWriter& writer, std::FILE* file, std::size_t capacity, const std::string& replaced) {
    writer.file = file;
    writer.replaced = replaced;
    writer.block.resize(capacity);
    writer.full = false;
    writer.stopping = false;
    writer.failed = false;
    writer.thread = std::thread(writeBlocks, std::ref(writer));
}

void handOver(BlockWriter& writer, std::vector<char>& buffer, std::size_t bytes) {
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.changed.wait(lock, [&writer] { return !writer.full; });
    writer.block.swap(buffer);
    writer.blockBytes = bytes;
    writer.full = true;
    writer.changed.notify_all();
}

bool stopBlockWriter(BlockWriter& writer) {
    if (!writer.thread.joinable()) return !writer.failed;
    {
        std::lock_guard<std::mutex> lock(writer.mutex);
        writer.stopping = true;
    }
    writer.changed.notify_all();
    writer.thread.join();
    return !writer.failed;
}

}  // namespace zoneloads
