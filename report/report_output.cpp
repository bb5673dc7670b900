#include "report/report_output.h"

#include <cstdio>

#include "common/platform.h"

namespace zoneloads {

bool openReport(ReportOutput& out, const std::filesystem::path& fileName) {
    if (!openReplaced(out.target, fileName)) return false;
    // The caller's buffers are large: stdio's own would only copy them again.
    std::setvbuf(out.target.file, nullptr, _IONBF, 0);
    out.written = 0;
    out.failed = false;
    // The old report will be replaced: its cached pages need not wait for
    // that, which then has less to free.
    if (out.target.replacesExisting) dropCachedContents(out.target.path);
    return true;
}

void writeReportBytes(ReportOutput& out, const char* bytes, std::size_t length) {
    if (out.failed || length == 0) return;
    if (std::fwrite(bytes, 1, length, out.target.file) != length) {
        out.failed = true;
        return;
    }
    // Start the bytes on their way to the disk now, rather than all at once
    // when the finished report replaces the old one.
    startWriteback(out.target.file, out.written, static_cast<long long>(length));
    out.written += static_cast<long long>(length);
}

bool closeReport(ReportOutput& out) {
    if (!finishReplaced(out.target, !out.failed)) out.failed = true;
    return !out.failed;
}

void abandonReport(ReportOutput& out) { finishReplaced(out.target, false); }

}  // namespace zoneloads
