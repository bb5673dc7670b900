#include "common/replaced_file.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

#include "common/platform.h"

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

// The file that a path names once its symbolic links are followed, even when
// the last link dangles (the file it points to is then created).
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

void removeTemporary(ReplacedFile& f) {
    if (f.tempPath.empty()) return;
    std::error_code ignored;
    fs::remove(f.tempPath, ignored);
    f.tempPath.clear();
}

// Puts the finished temporary file in place, with the permissions of the
// file it replaces.
bool putInPlace(ReplacedFile& f) {
    std::error_code error;
    fs::file_status old = fs::status(f.path, error);
    if (!error && fs::is_regular_file(old)) {
        std::error_code ignored;  // a platform that cannot set them keeps its default
        fs::permissions(f.tempPath, old.permissions(), ignored);
    }
    fs::rename(f.tempPath, f.path, error);
    if (error) return false;
    f.tempPath.clear();
    return true;
}

}  // namespace

std::FILE* createBeside(const std::string& path, const char* mode, std::string& tempPath) {
    static std::mt19937_64 random(std::random_device{}() ^
                                  static_cast<unsigned long long>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
        std::string candidate = path + suffix;
        std::error_code error;
        if (fs::exists(fs::symlink_status(candidate, error))) continue;
        tempPath = candidate;
        return std::fopen(tempPath.c_str(), mode);
    }
    return nullptr;
}

bool openReplaced(ReplacedFile& f, const std::string& fileName) {
    fs::path target = followLinks(fileName);
    std::error_code error;
    fs::file_status status = fs::status(target, error);
    bool replaceable = (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) &&
                       !isDevice(target.string());
    f.path = target.string();
    f.tempPath.clear();
    f.replacesExisting = replaceable && fs::is_regular_file(status);
    f.file = replaceable ? createBeside(f.path, "wb", f.tempPath) : std::fopen(fileName.c_str(), "wb");
    if (!f.file) f.tempPath.clear();  // nothing was created
    return f.file != nullptr;
}

bool finishReplaced(ReplacedFile& f, bool keep) {
    if (f.file && std::fclose(f.file) != 0) keep = false;
    f.file = nullptr;
    if (keep && !f.tempPath.empty() && !putInPlace(f)) keep = false;
    removeTemporary(f);
    return keep;
}

}  // namespace zoneloads
