// The few operations whose code differs between POSIX systems and Windows.
// Everything platform-specific in the programs lives behind this header, in
// files CMake picks for the system it builds for: platform_posix.cpp or
// platform_windows.cpp, and for interrupts interrupts_posix.cpp or
// interrupts_windows.cpp beside the shared interrupts.cpp; the words for a
// system error are error_reason.cpp. Paths are std::filesystem::path: bytes
// on POSIX, UTF-16 on Windows.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace zoneloads {

// True when `path` names the file, pipe or device that this process's
// standard input reads (compared by identity, not by name); false when
// either cannot be examined.
bool isStandardInput(const std::filesystem::path& path);

// True when `path` names the very file that `file` is open on (compared by
// identity): false once the name leads to another file, or to none (the
// file was replaced or deleted since it was opened), or when either cannot
// be examined.
bool namesOpenFile(const std::filesystem::path& path, std::FILE* file);

// True when `path` names a device (the console, NUL, /dev/null, a FIFO ...)
// rather than a file on a disk or nothing at all.
bool isDevice(const std::filesystem::path& path);

// True when `path` names the device that discards what is written to it
// (/dev/null, NUL on Windows).
bool isNullDevice(const std::filesystem::path& path);

// The number of the standard stream (0, 1, 2) or other open descriptor that
// `path` names as this process's own (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N and the links that lead there); -1 for any other path.
int openStreamNumber(const std::filesystem::path& path);

// The open stream `number` as a file to write to, where the stream stands
// (appending if it was opened to append); nullptr when it is not open.
std::FILE* writeToOpenStream(int number);

// Whether two absolute, normal paths name one file by their text, as the
// system compares names: letter by letter on POSIX, whatever the case on
// Windows.
bool sameFileName(const std::filesystem::path& one, const std::filesystem::path& other);

// False when an existing file may not be written, or replaced, by this
// process: the permission bits (and a sticky folder's owners) on POSIX, the
// read-only attribute on Windows.
bool mayWrite(const std::filesystem::path& path);

// Creates `path`, which must not exist yet, and opens it for writing
// (`readable`: for reading too) in binary mode; nullptr, with errno set, when
// it cannot. On Windows the file may be deleted while it is open.
std::FILE* createNewFile(const std::filesystem::path& path, bool readable);

// The folder of the run's scratch files: on POSIX TMPDIR when it names a
// folder this process may write in, else /tmp; on Windows the system's
// temporary folder (empty when there is none).
std::filesystem::path temporaryFolder();

// A new file in the system's temporary folder, open for writing and reading
// in binary mode, that no name leads to: it is gone once closed, even when
// the process is killed. nullptr, with errno set, when it cannot be made.
std::FILE* openScratchFile();

// The system's temporary folder as a library that takes narrow names opens
// it: its bytes on POSIX; on Windows its short form, in the ANSI code page.
std::string narrowTemporaryFolder();

// Opens an existing file for reading in binary mode; nullptr, with errno set,
// when it cannot. On Windows the file may meanwhile be written, renamed or
// deleted by another program, as on POSIX: a file held open for a run does
// not stop its writer from replacing it.
std::FILE* openForReading(const std::filesystem::path& path);

// Reads up to `count` bytes at byte `offset` of `file` into `bytes`, without
// moving the file's position, so that threads may read one file at once;
// returns the bytes read, fewer at the file's end or on an error.
std::size_t readAt(std::FILE* file, long long offset, void* bytes, std::size_t count);

// Moves `file` to byte `offset` (which may be past 2 GiB) from the start, or
// from where `origin` says (SEEK_CUR, SEEK_END); false when it cannot.
bool seekTo(std::FILE* file, long long offset, int origin = SEEK_SET);

// Where `file` stands, in bytes from its start (past 2 GiB too); -1 when
// that cannot be told.
long long positionOf(std::FILE* file);

// Opens a file for writing in binary mode, creating or truncating it;
// nullptr, with errno set, when it cannot.
std::FILE* openForWriting(const std::filesystem::path& path);

// The longest file name the folder `folder` takes, in the units of its path
// (bytes on POSIX, UTF-16 units on Windows).
std::size_t longestFileName(const std::filesystem::path& folder);

// Gives the file `target` the second name `aside`, so that its bytes can be
// given back after `target` is replaced: a second link to the same file
// where the file system has links, else `target` moved to `aside`. Returns 0,
// or the errno value of the failure (on Windows, kErrorFileInUse when another
// program holds the file open).
int keepAside(const std::filesystem::path& target, const std::filesystem::path& aside);

// Moves the file `from` to `to`, replacing what `to` names; 0, or the errno
// value of the failure (kErrorFileInUse as keepAside says).
int moveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The "errno value" of a file that another program holds open and will not
// share (a workbook open in a spreadsheet on Windows); no system errno has it.
constexpr int kErrorFileInUse = 100000;

// Installs, once, what removes the files registered by removeOnInterrupt
// when the run is interrupted; every program does so at its start.
void watchInterrupts();

// While one lives, an interrupt waits: it takes effect when the last one is
// destroyed. For steps that must not be cut in the middle.
struct InterruptsHeld {
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

// While one lives, what is written to standard error goes nowhere: for a
// library that prints its own English account of a failure, which the
// program then tells in its own words.
struct StandardErrorSilenced {
    StandardErrorSilenced();
    ~StandardErrorSilenced();
    StandardErrorSilenced(const StandardErrorSilenced&) = delete;
    StandardErrorSilenced& operator=(const StandardErrorSilenced&) = delete;

private:
    int saved_;  // the descriptor that standard error was, to give it back; -1 when it was not moved
};

// Removes every file registered by removeOnInterrupt now, for a run that
// ends by a fault it did not expect.
void removeRegisteredFiles();

// Has `path` removed if the run is interrupted (Ctrl-C, SIGTERM, SIGHUP;
// Ctrl-C, Ctrl-Break or closing the console on Windows) before
// forgetOnInterrupt. Returns what forgetOnInterrupt takes; -1 when it could
// not be registered (the file is then only removed by its owner).
int removeOnInterrupt(const std::filesystem::path& path);

// Stops removing the path registered as `registration` on an interrupt.
void forgetOnInterrupt(int registration);

// Spanish words for the system error `error` (an errno value): why a file
// could not be created or written.
std::string errorReason(int error);

// Asks the system to start writing the given bytes of `file` to its disk,
// without waiting for them; a hint that may do nothing.
void startWriteback(std::FILE* file, long long offset, long long length);

// Tells the system that the cached contents of the file `path` will not be
// read again, so it may drop them now; the file itself is not changed. A
// hint that may do nothing.
void dropCachedContents(const std::filesystem::path& path);

// Makes a write to a closed pipe or past the file-size limit fail with an
// error instead of killing the process, so that the failure can be reported.
void ignoreWriteSignals();

// Raises, when it can, the number of files this process may hold open at
// once to `wanted` (no further than the system lets a process go); returns
// the number it may now hold.
std::size_t allowOpenFiles(std::size_t wanted);

// Has the memory allocator keep large blocks that are freed for the next
// allocation rather than give them back to the system at once: a program
// that builds and drops many buffers of a few hundred kB each then stops
// paying for fresh pages every time. A hint that may do nothing.
void reuseFreedMemory();

// On Windows, has standard input read as bytes rather than as text when it
// is not a console (a pipe or a file: text reading ends at a byte 0x1A and
// drops a CR before a LF); true when it now is. Nothing on POSIX, where
// input is bytes already: false.
bool readStandardInputAsBytes();

// Each character of `text` in upper case, as the system's Unicode tables
// give it (every alphabet's letters, the final sigma as sigma, full-width
// letters ...): how a spreadsheet compares names whatever their case.
std::u32string upperCase(std::u32string text);

// Gives a standard stream that the program was started without (`>&-`)
// a file that takes nothing, so that no file the program opens takes its
// number and what is meant for that stream goes into the file instead.
// Nothing on Windows, whose files never take those numbers.
void holdClosedStandardStreams();

// True when the program was started with standard output closed: what it
// writes there is lost, and must be told as a failure.
bool standardOutputWasClosed();

// True when standard output is a terminal (a console on Windows).
bool standardOutputIsTerminal();

// The path that a name given as bytes (an answer, piped or typed) names. On
// POSIX the bytes are the path. On Windows they are decoded: as UTF-8 when
// they are well-formed UTF-8 (Notepad's encoding, and what a console answer
// is read as), else in the system's ANSI code page (Windows-1252 on Spanish
// Windows).
std::filesystem::path pathFromBytes(const std::string& bytes);

// The path that a name given as bytes names when they are read in the
// console's OEM code page (850 on a Spanish Windows, where cmd's `echo`
// writes "ñ" as 0xA4); empty where that reading is pathFromBytes' own, for
// a name of ASCII alone, and on POSIX, whose names are bytes.
std::filesystem::path oemCodePagePath(const std::string& bytes);

// A path as bytes to show and name: on POSIX its bytes, on Windows UTF-8.
std::string textOfPath(const std::filesystem::path& path);

// The program's arguments, without its own name: on Windows read as
// characters from the command line, so that any name reaches the program.
std::vector<std::filesystem::path> commandLineArguments(int argc, char** argv);

// Where standard input and output are a console, reads and writes them as
// characters: an answer typed in any console code page arrives as UTF-8,
// and text shows as consoleCharacters says. A pipe or a file keeps its
// bytes, exactly as before. Windows only; nothing on POSIX.
void useConsoleCharacters();

// True when the program's console window was opened for it alone (a
// double-click or a drop on the program in Explorer); false in a console of
// a shell, a script or a pipe, and on POSIX.
bool consoleIsOwnWindow();

// When the program's console window was opened for it alone (a double-click
// or a drop on the program in Explorer), asks the user to press Enter
// before the window closes, so that its last messages can be read. Nothing
// anywhere else: in a console of a shell, a script or a pipe, or on POSIX.
void pauseIfOwnConsole();

}  // namespace zoneloads
