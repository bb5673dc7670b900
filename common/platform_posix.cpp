// The platform's calls on POSIX systems (platform.h); CMake builds this file
// everywhere but on Windows, which has platform_windows.cpp. Paths are bytes.
#include "common/platform.h"

#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace zoneloads {

namespace fs = std::filesystem;

namespace {

// The descriptor that an absolute, normal path names as this process's own.
int streamNumberOfName(const std::string& name) {
    if (name == "/dev/stdin") return 0;
    if (name == "/dev/stdout") return 1;
    if (name == "/dev/stderr") return 2;
    const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string& folder :
         {std::string("/dev/fd/"), std::string("/proc/self/fd/"), std::string("/proc/thread-self/fd/"), own}) {
        if (name.compare(0, folder.size(), folder) != 0 || name.size() == folder.size()) continue;
        std::string digits = name.substr(folder.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
        return std::stoi(digits);
    }
    return -1;
}

}  // namespace

StandardErrorSilenced::StandardErrorSilenced() : saved_(-1) {
    std::fflush(stderr);
    int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere < 0) return;
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (saved_ >= 0) dup2(nowhere, STDERR_FILENO);
    close(nowhere);
}

StandardErrorSilenced::~StandardErrorSilenced() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}

int keepAside(const fs::path& target, const fs::path& aside) {
    if (link(target.c_str(), aside.c_str()) == 0) return 0;
    // A file system without links (a FAT stick, some network shares): moved.
    return rename(target.c_str(), aside.c_str()) == 0 ? 0 : errno;
}

int moveReplacing(const fs::path& from, const fs::path& to) {
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool isStandardInput(const fs::path& path) {
    struct stat input;
    struct stat named;
    if (fstat(STDIN_FILENO, &input) != 0 || stat(path.c_str(), &named) != 0) return false;
    // A terminal holds no data to lose; only a file or a pipe can be overwritten.
    if (!S_ISREG(input.st_mode) && !S_ISFIFO(input.st_mode)) return false;
    return input.st_dev == named.st_dev && input.st_ino == named.st_ino;
}

bool namesOpenFile(const fs::path& path, std::FILE* file) {
    struct stat open;
    struct stat named;
    return fstat(fileno(file), &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

bool isDevice(const fs::path& path) {
    struct stat named;
    return stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode) && !S_ISDIR(named.st_mode);
}

bool isNullDevice(const fs::path& path) {
    struct stat named, null;
    return stat(path.c_str(), &named) == 0 && S_ISCHR(named.st_mode) && stat("/dev/null", &null) == 0 &&
           named.st_rdev == null.st_rdev;
}

int openStreamNumber(const fs::path& path) {
    fs::path at = path;
    std::error_code error;
    for (int hops = 0; hops < 40; ++hops) {
        int number = streamNumberOfName(fs::absolute(at, error).lexically_normal().string());
        if (number >= 0) return number;
        if (!fs::is_symlink(fs::symlink_status(at, error))) return -1;
        fs::path link = fs::read_symlink(at, error);
        if (error) return -1;
        at = link.is_absolute() ? link : at.parent_path() / link;
    }
    return -1;
}

std::FILE* writeToOpenStream(int number) {
    int copy = dup(number);
    if (copy < 0) return nullptr;
    std::FILE* file = fdopen(copy, "wb");
    if (!file) close(copy);
    return file;
}

bool sameFileName(const fs::path& one, const fs::path& other) { return one == other; }

bool mayWrite(const fs::path& path) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES) return false;
    // In a folder with the sticky bit (/tmp, a shared folder) only the file's
    // owner, the folder's, or root may replace the file.
    struct stat file, folder;
    fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (stat(path.c_str(), &file) != 0 || stat(parent.c_str(), &folder) != 0) return true;
    uid_t self = geteuid();
    return !(folder.st_mode & S_ISVTX) || self == 0 || file.st_uid == self || folder.st_uid == self;
}

std::FILE* createNewFile(const fs::path& path, bool readable) {
    int fd = open(path.c_str(), (readable ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, readable ? "w+b" : "wb");
    if (!file) close(fd);
    return file;
}

fs::path temporaryFolder() {
    // TMPDIR when it names a folder this process may write in, else /tmp:
    // a TMPDIR set wrong is passed over the same way by every scratch file.
    const char* set = std::getenv("TMPDIR");
    struct stat info;
    if (set && *set && stat(set, &info) == 0 && S_ISDIR(info.st_mode) && access(set, W_OK | X_OK) == 0) return set;
    return "/tmp";
}

std::FILE* openScratchFile() {
    std::string name = (temporaryFolder() / "zoneloads-XXXXXX").string();
    int fd = mkstemp(name.data());
    if (fd < 0) return nullptr;
    unlink(name.c_str());  // no name leads to it: it goes when closed, whatever ends the run
    std::FILE* file = fdopen(fd, "w+b");
    if (!file) close(fd);
    return file;
}

std::FILE* openForReading(const fs::path& path) { return std::fopen(path.c_str(), "rb"); }

std::size_t readAt(std::FILE* file, long long offset, void* bytes, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t got = pread(fileno(file), static_cast<char*>(bytes) + done, count - done,
                            static_cast<off_t>(offset + static_cast<long long>(done)));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::string narrowTemporaryFolder() { return temporaryFolder().string(); }

std::FILE* openForWriting(const fs::path& path) { return std::fopen(path.c_str(), "wb"); }

bool seekTo(std::FILE* file, long long offset, int origin) {
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
}

long long positionOf(std::FILE* file) { return static_cast<long long>(ftello(file)); }

std::size_t longestFileName(const fs::path& folder) {
    long longest = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
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

void dropCachedContents(const fs::path& path) {
#if defined(POSIX_FADV_DONTNEED)
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    close(fd);
#else
    (void)path;
#endif
}

std::size_t allowOpenFiles(std::size_t wanted) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    if (limit.rlim_cur != RLIM_INFINITY && wanted > limit.rlim_cur) {
        rlim_t raised =
            limit.rlim_max == RLIM_INFINITY ? static_cast<rlim_t>(wanted) : std::min<rlim_t>(limit.rlim_max, wanted);
        if (raised > limit.rlim_cur) {
            rlim_t before = limit.rlim_cur;
            limit.rlim_cur = raised;
            if (setrlimit(RLIMIT_NOFILE, &limit) != 0) limit.rlim_cur = before;
        }
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : static_cast<std::size_t>(limit.rlim_cur);
}

void reuseFreedMemory() {
#if defined(__GLIBC__)
    // Below these sizes, blocks come from the heap and freed ones stay there.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

void ignoreWriteSignals() {
    signal(SIGPIPE, SIG_IGN);
#if defined(SIGXFSZ)
    signal(SIGXFSZ, SIG_IGN);
#endif
}

namespace {

bool outputWasClosed = false;

}  // namespace

void holdClosedStandardStreams() {
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number: this very stream's.
        int held = open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (held == STDOUT_FILENO) outputWasClosed = true;
    }
}

bool standardOutputWasClosed() { return outputWasClosed; }

bool readStandardInputAsBytes() { return false; }

std::u32string upperCase(std::u32string text) {
    // The C.UTF-8 locale holds Unicode's case tables whatever the locale the
    // program runs in; without it, only ASCII letters change.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    for (char32_t& c : text) {
        if (unicode) {
            c = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode));
        } else if (c >= 'a' && c <= 'z') {
            c -= 0x20;
        }
    }
    return text;
}

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

fs::path pathFromBytes(const std::string& bytes) { return fs::path(bytes); }

fs::path oemCodePagePath(const std::string&) { return fs::path(); }

std::string textOfPath(const fs::path& path) { return path.native(); }

std::vector<fs::path> commandLineArguments(int argc, char** argv) {
    std::vector<fs::path> paths;
    for (int i = 1; i < argc; ++i) paths.emplace_back(argv[i]);
    return paths;
}

void useConsoleCharacters() {}  // a terminal takes the bytes as they are

bool consoleIsOwnWindow() { return false; }

void pauseIfOwnConsole() {}

}  // namespace zoneloads
