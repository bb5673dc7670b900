// Runs a real executable with piped answers, for the end-to-end tests.
#pragma once

#include <filesystem>
#include <string>

namespace zoneloads {
namespace testkit {

struct ToolRun {
    int status;          // the exit status as the shell sees it
    std::string output;  // everything written to standard output, byte for byte
};

// Exit status -1 as the shell sees it: a POSIX shell gets its low 8 bits,
// Windows the whole value.
#ifdef _WIN32
constexpr int kShellFailureStatus = -1;
#else
constexpr int kShellFailureStatus = 255;
#endif

// Set in a build with AddressSanitizer or ThreadSanitizer, by g++ or clang:
// their shadow memory leaves a run under a small address-space limit no room.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZONELOADS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZONELOADS_SANITIZED 1
#endif
#endif

// Runs `command` in the current folder with `input` as its standard input
// ("" for an empty one).
ToolRun runTool(const std::string& command, const std::string& input);

// Runs a shell command line in the current folder, its standard output
// going through the file `outputPath` (which is removed after).
ToolRun runShell(const std::string& commandLine, const std::string& outputPath);

#ifndef _WIN32
// The shell prefix that runs a command as an unprivileged user when the
// tests run as root, who may write any file ("" otherwise); `dir`, the
// scratch folder, is opened to that user.
std::string asUnprivilegedUser(const std::filesystem::path& dir);

// Makes `path` read-only and owned by the user asUnprivilegedUser runs as.
void protect(const std::string& path);
#endif

}  // namespace testkit
}  // namespace zoneloads
