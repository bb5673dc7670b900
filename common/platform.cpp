#include "common/platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <system_error>

#include "common/text_encoding.h"

#if defined(_WIN32)
// windows.h before the headers that need it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <iostream>
#include <streambuf>
#else
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
#endif

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

// Paths to remove on an interrupt, in storage of their own: the handler reads
// them at any moment, on any thread, so nothing here is ever freed or moved.
constexpr int kInterruptSlots = 8;
constexpr std::size_t kInterruptPathUnits = 4096;
std::atomic<bool> slotTaken[kInterruptSlots];
std::atomic<bool> slotArmed[kInterruptSlots];
fs::path::value_type interruptPaths[kInterruptSlots][kInterruptPathUnits];
// How many InterruptsHeld live; an interrupt waits while any does.
std::atomic<int> interruptsHeld{0};

}  // namespace

std::string errorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "permiso denegado";
        case ENOENT: return "no existe la carpeta o el fichero";
        case ENOTDIR: return "una parte de la ruta no es una carpeta";
        case EISDIR: return "es una carpeta";
        case ENOSPC: return "disco lleno";
        case EFBIG: return "fichero demasiado grande";
        case EROFS: return "sistema de ficheros de solo lectura";
        case ENAMETOOLONG: return "nombre demasiado largo";
        case EEXIST: return "ya existe";
        case EIO: return "error de entrada/salida";
        case EPIPE: return "el lector de la tuber\u00eda se ha ido";
        case EBADF: return "la salida est\u00e1 cerrada";
        case EMFILE:
        case ENFILE: return "demasiados ficheros abiertos";
        case ENOMEM: return "sin memoria";
        // What Windows' C library says of a write to a pipe whose reader has gone, among others.
        case EINVAL: return "operaci\u00f3n no v\u00e1lida";
        case kErrorFileInUse: return "abierto en otro programa";
        case ENXIO: return "dispositivo no disponible";
#if defined(EDQUOT)
        case EDQUOT: return "cuota de disco agotada";
#endif
#if defined(ELOOP)
        case ELOOP: return "demasiados enlaces simb\u00f3licos";
#endif
        default: return "error del sistema " + std::to_string(error);
    }
}

#if defined(_WIN32)

namespace {

// A random word for new names, different in every run.
unsigned long long randomWord() {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return random() & 0xFFFFFFFFull;
}

// Volume serial number and file index: what identifies a file on Windows.
bool handleIdentity(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info) != 0;
}

// Opened for no access at all, sharing everything: this only asks who or
// what the file is.
HANDLE queryHandle(const fs::path& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// errno for the last Windows error, as the C library would set it.
int errnoOfLastError() {
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return kErrorFileInUse;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_WRITE_PROTECT: return EROFS;
        default: return EIO;
    }
}

// A FILE for a handle just opened; the handle is closed when it cannot be.
std::FILE* fileOfHandle(HANDLE handle, bool readable) {
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errnoOfLastError();
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (readable ? _O_RDWR : _O_WRONLY));
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, readable ? "w+b" : "wb");
    if (!file) _close(fd);
    return file;
}

// Runs on a thread of its own: a step that holds interrupts finishes first.
BOOL WINAPI removeOnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
        event == CTRL_SHUTDOWN_EVENT) {
        for (int waited = 0; interruptsHeld > 0 && waited < 5000; ++waited) Sleep(1);
        // The files were opened sharing deletion: they go when the process
        // ends, which the next handler makes it do.
        removeRegisteredFiles();
    }
    return FALSE;
}

}  // namespace

void watchInterrupts() {
    static const bool installed = SetConsoleCtrlHandler(removeOnConsoleEvent, TRUE) != 0;
    (void)installed;
}

InterruptsHeld::InterruptsHeld() { ++interruptsHeld; }

InterruptsHeld::~InterruptsHeld() { --interruptsHeld; }

void removeRegisteredFiles() {
    for (int i = 0; i < kInterruptSlots; ++i) {
        if (slotArmed[i]) DeleteFileW(interruptPaths[i]);
    }
}

StandardErrorSilenced::StandardErrorSilenced() : saved_(-1) {
    std::fflush(stderr);
    int nowhere = _open("NUL", _O_WRONLY);
    if (nowhere < 0) return;
    saved_ = _dup(2);
    if (saved_ >= 0) _dup2(nowhere, 2);
    _close(nowhere);
}

StandardErrorSilenced::~StandardErrorSilenced() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    _dup2(saved_, 2);
    _close(saved_);
}

int keepAside(const fs::path& target, const fs::path& aside) {
    // Moved, not linked: a file another program holds open cannot be
    // replaced, and moving it tells so before any output is put in place.
    return MoveFileExW(target.c_str(), aside.c_str(), 0) ? 0 : errnoOfLastError();
}

int moveReplacing(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : errnoOfLastError();
}

bool isStandardInput(const fs::path& path) {
    BY_HANDLE_FILE_INFORMATION input;
    HANDLE in = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin)));
    if (!handleIdentity(in, input)) return false;  // a console or a pipe: no file to overwrite
    HANDLE file = queryHandle(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION named;
    bool same = handleIdentity(file, named) && named.dwVolumeSerialNumber == input.dwVolumeSerialNumber &&
                named.nFileIndexHigh == input.nFileIndexHigh && named.nFileIndexLow == input.nFileIndexLow;
    CloseHandle(file);
    return same;
}

bool isDevice(const fs::path& path) {
    HANDLE file = queryHandle(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool device = GetFileType(file) != FILE_TYPE_DISK;  // NUL and CON exist in every folder
    CloseHandle(file);
    return device;
}

bool isNullDevice(const fs::path& path) {
    const std::wstring name = path.filename().native();
    return name.size() == 3 && CompareStringOrdinal(name.c_str(), 3, L"NUL", 3, TRUE) == CSTR_EQUAL;
}

int openStreamNumber(const fs::path&) { return -1; }  // CON and NUL are devices, written in place

std::FILE* writeToOpenStream(int) { return nullptr; }

bool sameFileName(const fs::path& one, const fs::path& other) {
    const std::wstring& a = one.native();
    const std::wstring& b = other.native();
    // NTFS and FAT compare names whatever their letters' case.
    return a.size() == b.size() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool mayWrite(const fs::path& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

std::FILE* createNewFile(const fs::path& path, bool readable) {
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE | (readable ? GENERIC_READ : 0) | DELETE,
                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return fileOfHandle(handle, readable);
}

fs::path temporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);  // TMP, TEMP, the profile's or Windows' own
    return length == 0 || length > MAX_PATH ? fs::path() : fs::path(folder);
}

std::FILE* openScratchFile() {
    fs::path folder = temporaryFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path path = folder / (L"zoneloads-" + std::to_wstring(randomWord()) + L".tmp");
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
        return fileOfHandle(handle, true);
    }
    errno = EEXIST;
    return nullptr;
}

std::FILE* openForReading(const fs::path& path) { return _wfopen(path.c_str(), L"rb"); }

std::string narrowTemporaryFolder() {
    fs::path folder = temporaryFolder();
    if (folder.empty()) return "";
    wchar_t shortFolder[MAX_PATH + 1];
    DWORD shortLength = GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH + 1);
    const wchar_t* use = shortLength > 0 && shortLength <= MAX_PATH ? shortFolder : folder.c_str();
    int bytes = WideCharToMultiByte(CP_ACP, 0, use, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, use, -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

std::FILE* openForWriting(const fs::path& path) { return _wfopen(path.c_str(), L"wb"); }

bool seekTo(std::FILE* file, long long offset, int origin) { return _fseeki64(file, offset, origin) == 0; }

long long positionOf(std::FILE* file) { return _ftelli64(file); }

std::size_t longestFileName(const fs::path&) { return 255; }

void startWriteback(std::FILE*, long long, long long) {}  // Windows writes back lazily on its own
void dropCachedContents(const fs::path&) {}
void ignoreWriteSignals() {}  // Windows has neither signal: such writes fail already

void reuseFreedMemory() {}  // the Windows heap keeps freed blocks on its own

std::size_t allowOpenFiles(std::size_t wanted) {
    // The C library's streams are 512 at first; msvcrt allows up to 2048,
    // the universal C runtime 8192.
    int now = _getmaxstdio();
    if (wanted > static_cast<std::size_t>(now)) {
        for (int more : {8192, 2048}) {
            if (static_cast<std::size_t>(more) > static_cast<std::size_t>(now) && _setmaxstdio(more) != -1) break;
        }
    }
    return static_cast<std::size_t>(_getmaxstdio());
}

void holdClosedStandardStreams() {}

bool standardOutputWasClosed() { return false; }  // writes to it fail on their own

bool readStandardInputAsBytes() { return !_isatty(_fileno(stdin)) && _setmode(_fileno(stdin), _O_BINARY) != -1; }

std::u32string upperCase(std::u32string text) {
    std::wstring units;
    for (char32_t c : text) {
        if (c < 0x10000) {
            units += static_cast<wchar_t>(c);
        } else {
            units += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    std::wstring upper(units.size(), L'\0');
    int length = static_cast<int>(units.size());
    if (length > 0 && LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, units.c_str(), length, &upper[0], length,
                                    nullptr, nullptr, 0) == length) {
        std::size_t at = 0;
        for (char32_t& c : text) {  // the same units, each letter mapped in its place
            c = c < 0x10000 ? upper[at] : 0x10000 + ((upper[at] - 0xD800) << 10) + (upper[at + 1] - 0xDC00);
            at += c < 0x10000 ? 1 : 2;
        }
    }
    return text;
}

bool standardOutputIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

std::filesystem::path pathFromBytes(const std::string& bytes) {
    if (isValidUtf8(bytes)) {
        std::u16string units = utf16FromUtf8(bytes);
        return fs::path(std::wstring(units.begin(), units.end()));
    }
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return fs::path(wide);
}

fs::path oemCodePagePath(const std::string& bytes) {
    bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const UINT oem = GetOEMCP();
    if (ascii || (oem == GetACP() && !isValidUtf8(bytes))) return fs::path();
    int length = MultiByteToWideChar(oem, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(oem, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return length > 0 ? fs::path(wide) : fs::path();
}

std::string textOfPath(const fs::path& path) {
    const std::wstring& wide = path.native();
    return utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

std::vector<fs::path> commandLineArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<fs::path> paths;
    for (int i = 1; arguments && i < count; ++i) paths.emplace_back(arguments[i]);
    if (arguments) LocalFree(arguments);
    return paths;
}

namespace {

bool isConsole(HANDLE handle) {
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// Writes what it is given to a console as characters, a flush at a time
// (std::endl, and a prompt before each answer, flush).
struct ConsoleOutput : std::streambuf {
    explicit ConsoleOutput(HANDLE to) : handle(to) {}
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending += static_cast<char>(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        pending.append(bytes, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override {
        std::u16string text = consoleCharacters(pending);
        pending.clear();
        DWORD written;
        return text.empty() || WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
                   ? 0
                   : -1;
    }
    HANDLE handle;
    std::string pending;
};

// Reads a console as characters, handed on as UTF-8; a line that starts
// with Ctrl-Z ends the input, as it does for a program reading bytes.
struct ConsoleInput : std::streambuf {
    explicit ConsoleInput(HANDLE from) : handle(from) {}
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (ended) return traits_type::eof();
        wchar_t units[1024];
        DWORD read = 0;
        if (!ReadConsoleW(handle, units, 1024, &read, nullptr) || read == 0 || units[0] == 0x1A) {
            ended = true;
            return traits_type::eof();
        }
        text = utf8FromUtf16(std::u16string(units, units + read));
        setg(text.data(), text.data(), text.data() + text.size());
        return traits_type::to_int_type(*gptr());
    }
    HANDLE handle;
    std::string text;
    bool ended = false;
};

}  // namespace

void useConsoleCharacters() {
    static ConsoleOutput output(GetStdHandle(STD_OUTPUT_HANDLE));
    static ConsoleOutput errors(GetStdHandle(STD_ERROR_HANDLE));
    static ConsoleInput input(GetStdHandle(STD_INPUT_HANDLE));
    if (isConsole(input.handle)) std::cin.rdbuf(&input);
    if (isConsole(output.handle)) std::cout.rdbuf(&output);
    if (isConsole(errors.handle)) std::cerr.rdbuf(&errors);
}

// Only this process in its console: Explorer opened the window for it.
bool consoleIsOwnWindow() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void pauseIfOwnConsole() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (!consoleIsOwnWindow() || !isConsole(in)) return;
    std::cout << "Pulse Intro para cerrar esta ventana" << std::flush;
    FlushConsoleInputBuffer(in);  // keys pressed before do not close it unread
    wchar_t unit = 0;
    DWORD read = 0;
    while (ReadConsoleW(in, &unit, 1, &read, nullptr) && read == 1 && unit != L'\r' && unit != L'\n') {}
}

#else

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

void removeRegistered(int signalNumber) {
    removeRegisteredFiles();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// The interrupts whose handler removes the registered files.
sigset_t interruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signalNumber);
    return set;
}

}  // namespace

// Installs the handler once, for each signal that is not ignored: a run
// started to ignore one (nohup, a background job) keeps ignoring it.
void watchInterrupts() {
    static const bool installed = [] {
        for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction old;
            if (sigaction(signalNumber, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
            struct sigaction action;
            std::memset(&action, 0, sizeof action);
            action.sa_handler = removeRegistered;
            sigemptyset(&action.sa_mask);
            sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// Blocked on the thread that holds them: the workers take no signal (they
// start with the signals blocked, see startWorkers), so a signal waits for
// this thread to unblock it.
InterruptsHeld::InterruptsHeld() {
    if (interruptsHeld++ > 0) return;
    sigset_t set = interruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

InterruptsHeld::~InterruptsHeld() {
    if (--interruptsHeld > 0) return;
    sigset_t set = interruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void removeRegisteredFiles() {
    for (int i = 0; i < kInterruptSlots; ++i) {
        if (slotArmed[i]) unlink(interruptPaths[i]);
    }
}

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

#endif

int removeOnInterrupt(const fs::path& path) {
    const fs::path::string_type& units = path.native();
    if (units.size() >= kInterruptPathUnits) return -1;
    watchInterrupts();
    for (int i = 0; i < kInterruptSlots; ++i) {
        bool expected = false;
        if (!slotTaken[i].compare_exchange_strong(expected, true)) continue;
        std::memcpy(interruptPaths[i], units.c_str(), (units.size() + 1) * sizeof(fs::path::value_type));
        slotArmed[i] = true;
        return i;
    }
    return -1;
}

void forgetOnInterrupt(int registration) {
    if (registration < 0) return;
    slotArmed[registration] = false;
    slotTaken[registration] = false;
}

fs::path newScratchName(const char* extension) {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path folder = temporaryFolder();
    if (folder.empty()) return {};
    std::error_code error;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, "zoneloads-%08llx%s",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFull), extension);
        fs::path candidate = folder / name;
        if (!fs::exists(fs::symlink_status(candidate, error))) return candidate;
    }
    return {};
}

}  // namespace zoneloads
