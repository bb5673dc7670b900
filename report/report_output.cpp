#include "report/report_output.h"

#include <cstring>

namespace zoneloads {
namespace {

void writeBuffered(ReportOutput& out) {
    if (out.used > 0 && std::fwrite(out.buffer.data(), 1, out.used, out.file) != out.used) {
        out.failed = true;
    }
    out.used = 0;
}

}  // namespace

bool openReport(ReportOutput& out, const std::string& fileName) {
    out.file = std::fopen(fileName.c_str(), "wb");
    if (!out.file) return false;
    // The buffer here is the only one: stdio's own would just copy it again.
    std::setvbuf(out.file, nullptr, _IONBF, 0);
    out.buffer.resize(kReportBufferBytes);
    out.used = 0;
    out.failed = false;
    return true;
}

char* lineStart(ReportOutput& out) {
    if (out.buffer.size() - out.used < kMaxLineBytes) writeBuffered(out);
    return out.buffer.data() + out.used;
}

void endLine(ReportOutput& out, char* end) {
    end[0] = '\r';
    end[1] = '\n';
    out.used = static_cast<std::size_t>(end + 2 - out.buffer.data());
}

void writeTextLine(ReportOutput& out, const char* text) {
    std::size_t length = std::strlen(text);
    char* at = lineStart(out);
    std::memcpy(at, text, length);
    endLine(out, at + length);
}

bool closeReport(ReportOutput& out) {
    writeBuffered(out);
    if (std::fclose(out.file) != 0) out.failed = true;
    out.file = nullptr;
    return !out.failed;
}

}  // namespace zoneloads
