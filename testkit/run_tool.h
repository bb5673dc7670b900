// Runs a real executable with piped answers, for the end-to-end tests.
#pragma once

#include <string>

namespace zoneloads {
namespace testkit {

struct ToolRun {
    int status;          // the exit status as the shell sees it (-1 is 255)
    std::string output;  // everything written to standard output, byte for byte
};

constexpr int kShellFailureStatus = 255;

// Runs `command` in the current folder with `input` as its standard input
// ("" for an empty one).
ToolRun runTool(const std::string& command, const std::string& input);

// Runs a shell command line in the current folder, its standard output
// going through the file `outputPath` (which is removed after).
ToolRun runShell(const std::string& commandLine, const std::string& outputPath);

}  // namespace testkit
}  // namespace zoneloads
