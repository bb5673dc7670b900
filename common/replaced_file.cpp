#include "common/replaced_file.h"

#include <cerrno>
#include <chrono>
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

// A name for the temporary beside `path` that no file has yet: the name
// with ".XXXXXXXX.tmp" after it, or, when that would pass the longest name
// the folder takes, "zoneloads-XXXXXXXX.tmp", so that any name the file
// system takes is taken.
fs::path temporaryName(const fs::path& path, unsigned long long word) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", word);
    fs::path name = path.filename();
    fs::path::string_type longName = name.native() + fs::path(suffix).native();
    if (longName.size() <= longestFileName(path.parent_path())) return path.parent_path() / longName;
    std::snprintf(suffix, sizeof suffix, "zoneloads-%08llx.tmp", word);
    return path.parent_path() / suffix;
}

// Creates the temporary file beside `path`; nullptr, with errno set, when it
// cannot.
std::FILE* createBeside(const fs::path& path, fs::path& tempPath) {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempPath = temporaryName(path, random() & 0xFFFFFFFFull);
        std::FILE* file = createNewFile(tempPath, false);
        if (file || errno != EEXIST) return file;
    }
    return nullptr;
}

void removeTemporary(ReplacedFile& f) {
    if (f.tempPath.empty()) return;
    std::error_code ignored;
    fs::remove(f.tempPath, ignored);
    forgetOnInterrupt(f.interruptRegistration);
    f.interruptRegistration = -1;
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
    if (error) {
        f.error = error.default_error_condition().value();
        return false;
    }
    forgetOnInterrupt(f.interruptRegistration);
    f.interruptRegistration = -1;
    f.tempPath.clear();
    return true;
}

// Opens a device, FIFO, console or open stream where it stands.
bool openInPlace(ReplacedFile& f, const fs::path& fileName) {
    int stream = openStreamNumber(fileName);
    f.path = fileName;
    f.file = stream >= 0 ? writeToOpenStream(stream) : openForWriting(fileName);
    if (!f.file) f.error = stream >= 0 ? EBADF : errno;
    return f.file != nullptr;
}

}  // namespace

bool openReplaced(ReplacedFile& f, const fs::path& fileName) {
    f.tempPath.clear();
    f.replacesExisting = false;
    f.error = 0;
    if (openStreamNumber(fileName) >= 0) return openInPlace(f, fileName);
    fs::path target = followLinks(fileName);
    std::error_code error;
    fs::file_status status = fs::status(target, error);
    bool replaceable = (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) && !isDevice(target);
    if (!replaceable) return openInPlace(f, fileName);
    f.path = target;
    if (target.filename().native().size() > longestFileName(target.parent_path())) {
        f.error = ENAMETOOLONG;  // no file can have this name: its temporary could never take it
        return false;
    }
    f.replacesExisting = fs::is_regular_file(status);
    if (f.replacesExisting && !mayWrite(target)) {
        f.error = EACCES;
        return false;
    }
    f.file = createBeside(f.path, f.tempPath);
    if (!f.file) {
        f.error = errno;
        f.tempPath.clear();  // nothing was created
        return false;
    }
    f.interruptRegistration = removeOnInterrupt(f.tempPath);
    return true;
}

bool finishReplaced(ReplacedFile& f, bool keep) {
    if (f.file && std::fclose(f.file) != 0) {
        if (keep) f.error = errno;
        keep = false;
    }
    f.file = nullptr;
    if (keep && !f.tempPath.empty() && !putInPlace(f)) keep = false;
    removeTemporary(f);
    return keep;
}

}  // namespace zoneloads
