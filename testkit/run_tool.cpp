#include "testkit/run_tool.h"

#include <cstdlib>

#include "testkit/zone_files.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace zoneloads {
namespace testkit {

ToolRun runTool(const std::string& command, const std::string& input) {
    writeBytes("stdin.txt", input);
    int raw = std::system(("\"" + command + "\" < stdin.txt > stdout.txt").c_str());
#ifdef _WIN32
    int status = raw;
#else
    int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1000;
#endif
    ToolRun run{status, readBytes("stdout.txt")};
    std::filesystem::remove("stdin.txt");
    std::filesystem::remove("stdout.txt");
    return run;
}

}  // namespace testkit
}  // namespace zoneloads
