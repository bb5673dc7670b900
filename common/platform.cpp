#include "common/platform.h"

#if defined(_WIN32)
#include <windows.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zoneloads {

#if defined(_WIN32)

namespace {

// Volume serial number and file index: what identifies a file on Windows.
bool handleIdentity(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info) != 0;
}

}  // namespace

bool isStandardInput(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION input;
    HANDLE in = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin)));
    if (!handleIdentity(in, input)) return false;  // a console or a pipe: no file to overwrite
    // Opened for no access at all, sharing everything: this only asks who the file is.
    HANDLE file = CreateFileW(std::filesystem::path(path).wstring().c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION named;
    bool same = handleIdentity(file, named) && named.dwVolumeSerialNumber == input.dwVolumeSerialNumber &&
                named.nFileIndexHigh == input.nFileIndexHigh && named.nFileIndexLow == input.nFileIndexLow;
    CloseHandle(file);
    return same;
}

bool isDevice(const std::string& path) {
    HANDLE file = CreateFileW(std::filesystem::path(path).wstring().c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool device = GetFileType(file) != FILE_TYPE_DISK;  // NUL and CON exist in every folder
    CloseHandle(file);
    return device;
}

void startWriteback(std::FILE*, long long, long long) {}  // Windows writes back lazily on its own

void dropCachedContents(const std::string&) {}

void ignoreWriteSignals() {}  // Windows has neither signal: such writes fail already

#else

bool isStandardInput(const std::string& path) {
    struct stat input;
    struct stat named;
    if (fstat(STDIN_FILENO, &input) != 0 || stat(path.c_str(), &named) != 0) return false;
    // A terminal holds no data to lose; only a file or a pipe can be overwritten.
    if (!S_ISREG(input.st_mode) && !S_ISFIFO(input.st_mode)) return false;
    return input.st_dev == named.st_dev && input.st_ino == named.st_ino;
}

bool isDevice(const std::string& path) {
    struct stat named;
    return stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode) && !S_ISDIR(named.st_mode);
}

void startWriteback(std::FILE* file, long long offset, long long length) {
#if defined(__linux__)
    // Without it, ext4 writes back the whole report when it is renamed over
    // the old one, which the run would then wait for.
    sync_file_range(fileno(file), offset, length, SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)offset, (void)length;
#endif
}

void dropCachedContents(const std::string& path) {
#if defined(POSIX_FADV_DONTNEED)
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    close(fd);
#else
    (void)path;
#endif
}

void ignoreWriteSignals() {
    signal(SIGPIPE, SIG_IGN);
#if defined(SIGXFSZ)
    signal(SIGXFSZ, SIG_IGN);
#endif
}

#endif

}  // namespace zoneloads
