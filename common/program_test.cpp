#include "common/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>

#include "common/output_file.h"
#include "common/pipeline.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

class ProgramTest : public testkit::ScratchDir {};

// What escapes a program's body is one line in the program's words and its
// failure status, and the outputs it had open leave nothing behind.
TEST_F(ProgramTest, AnEscapeIsOneLineAndTheFailureStatus) {
    testkit::writeBytes("old.txt", "old");
    const Program view{"zoneloads-view", 1, false};
    testing::internal::CaptureStderr();
    int status = runProgram(
        view,
        [](int, char**) -> int {
            OutputFile out;
            openOutput(out, "old.txt");
            writeOutput(out, "half");
            throw std::bad_alloc();
        },
        0, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zoneloads-view: sin memoria\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(testkit::readBytes("old.txt"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 1);

    // A job's exception comes back through its pipeline; the console program
    // says it on standard output, in the form of its other messages.
    const Program console{"zoneloads", -1, true};
    testing::internal::CaptureStdout();
    status = runProgram(
        console,
        [](int, char**) -> int {
            Pipeline<int> jobs(2, 2);
            jobs.give([]() -> int { throw std::runtime_error("a fault"); });
            return jobs.takeOldest();
        },
        0, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "# Error interno\n");
    EXPECT_EQ(status, -1);
}

}  // namespace
}  // namespace zoneloads
