#include "report/report_output.h"

#include "common/platform.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

void writeBuffered(ReportOutput& out) {
    if (out.used > 0) handOver(out.writer, out.buffer, out.used);
    out.used = 0;
}

// The file that a path names once its symbolic links are followed, even when
// the last link dangles (the report then creates the file it points to).
fs::path followLinks(const fs::path& path) {
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hops) {
        fs::path link = fs::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

// Creates a new, empty file beside `target` whose name no file has yet.
std::FILE* createTemporary(const fs::path& target, std::string& tempPath) {
    static std::mt19937_64 random(std::random_device{}() ^
                                  static_cast<unsigned long long>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
        fs::path candidate = target;
        candidate += suffix;
        std::error_code error;
        if (fs::exists(fs::symlink_status(candidate, error))) continue;
        tempPath = candidate.string();
        return std::fopen(tempPath.c_str(), "wb");
    }
    return nullptr;
}

void removeTemporary(ReportOutput& out) {
    if (out.tempPath.empty()) return;
    std::error_code ignored;
    fs::remove(out.tempPath, ignored);
    out.tempPath.clear();
}

// Puts the finished temporary file in place of the report, with the
// permissions of the report it replaces.
bool putInPlace(ReportOutput& out) {
    std::error_code error;
    fs::file_status old = fs::status(out.path, error);
    if (!error && fs::is_regular_file(old)) {
        std::error_code ignored;  // a platform that cannot set them keeps its default
        fs::permissions(out.tempPath, old.permissions(), ignored);
    }
    fs::rename(out.tempPath, out.path, error);
    if (error) return false;
    out.tempPath.clear();
    return true;
}

}  // namespace

bool openReport(ReportOutput& out, const std::string& fileName) {
    fs::path target = followLinks(fileName);
    std::error_code error;
    fs::file_status status = fs::status(target, error);
    bool replaceable = (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) &&
                       !isDevice(target.string());
    out.path = target.string();
    out.tempPath.clear();
    out.file = replaceable ? createTemporary(target, out.tempPath) : std::fopen(fileName.c_str(), "wb");
    if (!out.file) {
        out.tempPath.clear();  // nothing was created
        return false;
    }
    // The buffer here is the only one: stdio's own would just copy it again.
    std::setvbuf(out.file, nullptr, _IONBF, 0);
    out.buffer.resize(kReportBufferBytes);
    out.used = 0;
    out.failed = false;
    bool replacing = !out.tempPath.empty() && fs::is_regular_file(status);
    startBlockWriter(out.writer, out.file, kReportBufferBytes, replacing ? out.path : std::string());
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
    if (std::fclose(out.file) != 0) out.failed = true;
    out.file = nullptr;
    if (!out.failed && !out.tempPath.empty() && !putInPlace(out)) out.failed = true;
    removeTemporary(out);
    return !out.failed;
}

void abandonReport(ReportOutput& out) {
    stopBlockWriter(out.writer);
    if (out.file) std::fclose(out.file);
    out.file = nullptr;
    removeTemporary(out);
}

}  // namespace zoneloads
