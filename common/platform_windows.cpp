// The platform's calls on Windows (platform.h); CMake builds this file for
// Windows only, platform_posix.cpp elsewhere. Every path is UTF-16.
#include "common/platform.h"

// windows.h before the headers that need it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "common/random_word.h"
#include "common/text_encoding.h"

namespace zoneloads {

namespace fs = std::filesystem;

namespace {

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

}  // namespace

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

namespace {

// True when `path` names the file open as `open` (a console or a pipe is no
// file: false).
bool namesHandle(const fs::path& path, HANDLE open) {
    BY_HANDLE_FILE_INFORMATION opened;
    if (!handleIdentity(open, opened)) return false;
    HANDLE file = queryHandle(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION named;
    bool same = handleIdentity(file, named) && named.dwVolumeSerialNumber == opened.dwVolumeSerialNumber &&
                named.nFileIndexHigh == opened.nFileIndexHigh && named.nFileIndexLow == opened.nFileIndexLow;
    CloseHandle(file);
    return same;
}

}  // namespace

bool isStandardInput(const fs::path& path) {
    return namesHandle(path, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin))));
}

bool namesOpenFile(const fs::path& path, std::FILE* file) {
    return namesHandle(path, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
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

std::FILE* openForReading(const fs::path& path) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errnoOfLastError();
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_RDONLY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "rb");
    if (!file) _close(fd);
    return file;
}

// ReadFile at an offset: on a handle opened for synchronous reading the
// system serializes the reads, each at its own offset.
std::size_t readAt(std::FILE* file, long long offset, void* bytes, std::size_t count) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    std::size_t done = 0;
    while (done < count) {
        auto at = static_cast<unsigned long long>(offset) + done;
        OVERLAPPED where = {};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFull);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle, static_cast<char*>(bytes) + done, want, &got, &where) || got == 0) break;
        done += got;
    }
    return done;
}

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

}  // namespace zoneloads
