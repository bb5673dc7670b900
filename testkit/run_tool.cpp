#include "testkit/run_tool.h"

#include <cstdlib>

#include "testkit/zone_files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
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

#ifndef _WIN32
std::string asUnprivilegedUser(const std::filesystem::path& dir) {
    if (geteuid() != 0) return "";
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

void protect(const std::string& path) {
    if (geteuid() == 0 && chown(path.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "cannot give " << path << " away";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
}
#endif

}  // namespace testkit
}  // namespace zoneloads
