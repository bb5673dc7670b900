#include "testkit/run_tool.h"

#include <cstdlib>

#include "testkit/zone_files.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace zoneloads {
namespace testkit {

ToolRun runShell(const std::string& commandLine, const std::string& outputPath) {
    int raw = std::system(("(" + commandLine + ") > \"" + outputPath + "\"").c_str());
#ifdef _WIN32
    int status = raw;  // std::system gives the command's exit code as it is
#else
    int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1000;  // killed by a signal: no exit status
#endif
    ToolRun run{status, readBytes(outputPath)};
    std::filesystem::remove(outputPath);
    return run;
}

ToolRun runTool(const std::string& command, const std::string& input) {
    writeBytes("stdin.txt", input);
    ToolRun run = runShell("\"" + command + "\" < stdin.txt", "stdout.txt");
    std::filesystem::remove("stdin.txt");
    return run;
}

}  // namespace testkit
}  // namespace zoneloads
