// Writes the report's blocks on a second thread while the first formats the
// next: a bounded pair of buffers, one being filled while the other is being
// written, so formatting and the system's cost of writing overlap. The bytes
// go out whole and in order; a failed write is kept to be reported.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zoneloads {

struct BlockWriter {
    std::FILE* file = nullptr;
    std::string replaced;  // the file the finished report will replace, or empty
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<char> block;  // the block handed over, while `full`
    std::size_t blockBytes = 0;
    bool full = false;
    bool stopping = false;
    bool failed = false;  // a write failed: the file is incomplete
};

// Starts the thread that writes to `file`; `capacity` is the size of the
// caller's buffer, which the writer's own buffer matches. `replaced` names
// the file that the report will replace when complete ("" for none): its
// cached pages are dropped meanwhile, so that replacing it at the end has
// less to free.
void startBlockWriter(BlockWriter& writer, std::FILE* file, std::size_t capacity, const std::string& replaced);

// Hands over the first `bytes` of `buffer` to be written and gives back in
// `buffer` the writer's other buffer (of the same size), once it is free.
void handOver(BlockWriter& writer, std::vector<char>& buffer, std::size_t bytes);

// Waits until every block handed over is written and ends the thread;
// false if any write failed.
bool stopBlockWriter(BlockWriter& writer);

}  // namespace zoneloads
