// The real sample-building: its file's bytes depend only on its arguments,
// and a write that cannot be made ends with one message and no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testkit/run_tool.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::readBytes;
using testkit::runShell;

class SampleBuilding : public testkit::ScratchDir {
protected:
    static testkit::ToolRun run(const std::string& arguments) {
        return runShell(std::string("\"") + SAMPLE_BUILDING_EXE + "\" " + arguments + " 2>&1; echo \"status $?\"",
                        "out.txt");
    }
    static bool leftTemporaries() {
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            if (entry.path().extension() == ".tmp") return true;
        }
        return false;
    }
};

TEST_F(SampleBuilding, SameArgumentsSameBytes) {
    ASSERT_EQ(run("a.bin --zones 2 --seed 3 --varied").output, "status 0\n");
    ASSERT_EQ(run("b.bin --zones 2 --seed 3 --varied").output, "status 0\n");
    EXPECT_EQ(readBytes("a.bin"), readBytes("b.bin"));
    EXPECT_EQ(readBytes("a.bin").size(), 4u + 2u * 285896u);
}

// "-" and names that start with "-" are options mistyped, never a file.
TEST_F(SampleBuilding, ADashIsNoFileName) {
    for (const char* name : {"-", "--zona", "-z"}) {
        EXPECT_EQ(run(name).output.substr(run(name).output.size() - 9), "status 2\n") << name;
        EXPECT_FALSE(testkit::fileExists(name));
    }
}

#ifndef _WIN32
// Past the file-size limit a write fails as a write (no signal kills the
// program): one message, the failure status, the old file kept, no temporary.
TEST_F(SampleBuilding, FileSizeLimitIsAMessage) {
    testkit::writeBytes("x.bin", "old building");
    testkit::ToolRun limited = runShell(
        std::string("(ulimit -f 100; \"") + SAMPLE_BUILDING_EXE + "\" x.bin --zones 3) 2>&1; echo \"status $?\"",
        "out.txt");
    EXPECT_EQ(limited.output, "sample-building: x.bin: error al escribir (fichero demasiado grande)\nstatus 1\n");
    EXPECT_EQ(readBytes("x.bin"), "old building");
    EXPECT_FALSE(leftTemporaries());
}
#endif

}  // namespace
}  // namespace zoneloads
