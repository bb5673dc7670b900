#include "report/report_output.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace zoneloads {
namespace {

void writeBuffered(ReportOutput& out) {
    if (out.used > 0) handOver(out.writer, out.buffer, out.used);
    out.used = 0;
}

}  // namespace

bool openReport(ReportOutput& out, const std::string& fileName) {
    if (!openReplaced(out.target, fileName)) return false;
    // The buffer here is the only one: stdio's own would just copy it again.
    std::setvbuf(out.target.file, nullptr, _IONBF, 0);
    out.buffer.resize(kReportBufferBytes);
    out.used = 0;
    out.failed = false;
    startBlockWriter(out.writer, out.target.file, kReportBufferBytes,
                     out.target.replacesExisting ? out.target.path : std::string());
    return true;
}

char* lineStart(ReportOutput& out) {
    if (out.buffer.size() - out.used < kMaxLineBytes) writeBuffered(out);
    return out.buffer.data() + out.used;
}

void endLine(ReportOutput& out, char* end) {
    // A line longer than lineStart's room would have overrun the buffer.
    assert(static_cast<std::size_t>(end + 2 - (out.buffer.data() + out.used)) <= kMaxLineBytes);
    end[0] = '\r';
    end[1] = '\n';
    out.used = static_cast<std::size_t>(end + 2 - out.buffer.data());
}

void writeBytes(ReportOutput& out, const char* bytes, std::size_t length) {
    while (length > 0) {
        if (out.used == out.buffer.size()) writeBuffered(out);
        std::size_t part = std::min(length, out.buffer.size() - out.used);
        std::memcpy(out.buffer.data() + out.used, bytes, part);
        out.used += part;
        bytes += part;
        length -= part;
    }
}

void writeTextLine(ReportOutput& out, const char* text) {
    std::size_t length = std::strlen(text);
    char* at = lineStart(out);
    std::memcpy(at, text, length);
    endLine(out, at + length);
}

bool closeReport(ReportOutput& out) {
    writeBuffered(out);
    if (!stopBlockWriter(out.writer)) out.failed = true;
    if (!finishReplaced(out.target, !out.failed)) out.failed = true;
    return !out.failed;
}

void abandonReport(ReportOutput& out) {
    stopBlockWriter(out.writer);
    finishReplaced(out.target, false);
}

}  // namespace zoneloads
