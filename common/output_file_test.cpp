#include "common/output_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "common/platform.h"
#include "testkit/zone_files.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zoneloads {
namespace {

namespace fs = std::filesystem;
using testkit::readBytes;
using testkit::writeBytes;

class OutputFileTest : public testkit::ScratchDir {
protected:
    // Writes `text` to `name` through an OutputFile and commits it; false
    // when it could not be opened or put in place.
    static bool replace(const std::string& name, const std::string& text, int* error = nullptr) {
        OutputFile f;
        std::string message;
        bool done = openOutput(f, name) && writeOutput(f, text) && commitOutputs({&f}, message);
        if (error) *error = f.error;
        return done;
    }
    // The names in the folder.
    static std::set<std::string> names() {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(".")) found.insert(entry.path().filename().string());
        return found;
    }
};

// A name as long as the folder takes is taken: the temporary beside it gets
// a short name of its own rather than passing the limit.
TEST_F(OutputFileTest, TheLongestLegalNameIsTaken) {
    std::size_t longest = std::min<std::size_t>(longestFileName("."), 255);
    for (std::size_t length : {longest - 13, longest - 12, longest}) {
        std::string name(length, 'n');
        writeBytes(name, "old");
        ASSERT_TRUE(replace(name, "new")) << length;
        EXPECT_EQ(readBytes(name), "new");
        EXPECT_EQ(names(), std::set<std::string>{name});
        fs::remove(name);
    }
    std::string tooLong(longest + 1, 'n');
    EXPECT_FALSE(replace(tooLong, "new"));
    EXPECT_TRUE(names().empty());
}

// A file the user may not write keeps its bytes; the failure says why.
TEST_F(OutputFileTest, FileWithoutWritePermissionIsNotReplaced) {
    writeBytes("r.txt", "protected");
    fs::permissions("r.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (mayWrite("r.txt")) {
        fs::permissions("r.txt", fs::perms::owner_all);
        GTEST_SKIP() << "this user writes any file (root)";
    }
    int error = 0;
    EXPECT_FALSE(replace("r.txt", "new", &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(readBytes("r.txt"), "protected");
    EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
    EXPECT_EQ(errorReason(error), "permiso denegado");
    fs::permissions("r.txt", fs::perms::owner_all);
}

#if !defined(_WIN32)
// /dev/fd/N and the links to it name a stream this process has open: it is
// written where it stands, appending to a log opened to append, never
// renamed over.
TEST_F(OutputFileTest, OpenStreamsAreWrittenInPlace) {
    writeBytes("log.txt", "earlier lines\n");
    int fd = open("log.txt", O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    std::string byNumber = "/dev/fd/" + std::to_string(fd);
    fs::create_symlink(byNumber, "link");
    EXPECT_EQ(openStreamNumber(byNumber), fd);
    EXPECT_EQ(openStreamNumber("link"), fd);
    EXPECT_EQ(openStreamNumber("/proc/self/fd/" + std::to_string(fd)), fd);
    EXPECT_EQ(openStreamNumber("/dev/stdout"), 1);
    EXPECT_EQ(openStreamNumber("log.txt"), -1);
    ASSERT_TRUE(replace(byNumber, "one\n"));
    ASSERT_TRUE(replace("link", "two\n"));
    close(fd);
    EXPECT_EQ(readBytes("log.txt"), "earlier lines\none\ntwo\n");
    EXPECT_EQ(names(), (std::set<std::string>{"link", "log.txt"}));
    EXPECT_FALSE(replace("/dev/fd/999", "x"));  // not open
}

// An interrupted run removes its temporary file on its way out; the old
// file keeps its bytes.
TEST_F(OutputFileTest, InterruptRemovesTheTemporary) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        writeBytes("r.txt", "old");
        EXPECT_EXIT(
            {
                OutputFile f;
                if (!openOutput(f, "r.txt")) std::_Exit(3);
                writeOutput(f, "half a report");
                std::fflush(f.file);
                std::raise(signalNumber);
                std::_Exit(4);
            },
            ::testing::KilledBySignal(signalNumber), "");
        EXPECT_EQ(readBytes("r.txt"), "old");
        EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
    }
}
#endif

// Scratch files have no name: nothing of them is left in any folder. A
// named one goes with its owner.
TEST_F(OutputFileTest, ScratchFilesAreReadBackAndLeaveNothing) {
    {
        OutputFile scratch;
        ASSERT_TRUE(openScratch(scratch, "fichero temporal"));
        writeOutput(scratch, "scratch");
        std::fflush(scratch.file);
        std::rewind(scratch.file);
        char back[8] = {};
        EXPECT_EQ(std::fread(back, 1, 7, scratch.file), 7u);
        EXPECT_STREQ(back, "scratch");
        EXPECT_TRUE(names().empty());
        OutputFile named;
        ASSERT_TRUE(openNamedScratch(named, "libro", ".xlsx"));
        EXPECT_TRUE(fs::exists(named.temporary));
        fs::path name = named.temporary;
        abandonOutput(named);
        EXPECT_FALSE(fs::exists(name));
    }
    EXPECT_TRUE(names().empty());
}

// The outputs of a run are put in place together or not at all: when the
// last cannot take its place, the ones already replaced get their old bytes
// back, and no temporary is left.
TEST_F(OutputFileTest, OutputsArePutInPlaceAllOrNone) {
    writeBytes("a.txt", "old a");
    writeBytes("b.txt", "old b");
    OutputFile a, b, c;
    ASSERT_TRUE(openOutput(a, "a.txt") && openOutput(b, "b.txt") && openOutput(c, "c.txt"));
    writeOutput(a, "new a");
    writeOutput(b, "new b");
    writeOutput(c, "new c");
    // c.txt becomes a folder that holds a file: no file can be moved over it.
    fs::create_directory("c.txt");
    writeBytes("c.txt/inside", "x");
    std::string error;
    EXPECT_FALSE(commitOutputs({&a, &b, &c}, error));
    EXPECT_EQ(error.substr(0, 25), "c.txt: error al escribir ") << error;
    EXPECT_EQ(readBytes("a.txt"), "old a");
    EXPECT_EQ(readBytes("b.txt"), "old b");
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));

    // Without the obstacle, all three are put in place, b with its permissions.
    fs::remove_all("c.txt");
    fs::permissions("b.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(openOutput(a, "a.txt") && openOutput(b, "b.txt") && openOutput(c, "c.txt"));
    writeOutput(a, "new a");
    writeOutput(b, "new b");
    writeOutput(c, "new c");
    EXPECT_TRUE(commitOutputs({&a, &b, &c}, error)) << error;
    EXPECT_EQ(readBytes("a.txt") + readBytes("b.txt") + readBytes("c.txt"), "new anew bnew c");
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
#if !defined(_WIN32)
    EXPECT_EQ(fs::status("b.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
}

// The first failure is the one kept and told, with its own errno; an output
// that failed keeps every other one from being put in place.
TEST_F(OutputFileTest, TheFirstFailureIsKept) {
    writeBytes("a.txt", "old a");
    OutputFile a, b;
    ASSERT_TRUE(openOutput(a, "a.txt"));
    ASSERT_TRUE(openOutput(b, "b.txt"));
    writeOutput(a, "new a");
    failOutput(b, "error al escribir", ENOSPC);
    failOutput(b, "error al escribir", EIO);  // later: not kept
    EXPECT_FALSE(writeOutput(b, "more"));
    std::string error;
    EXPECT_FALSE(commitOutputs({&a, &b}, error));
    EXPECT_EQ(error, "b.txt: error al escribir (disco lleno)");
    EXPECT_EQ(readBytes("a.txt"), "old a");
    EXPECT_EQ(names(), std::set<std::string>{"a.txt"});
    OutputFile c;
    failOutput(c, "no se puede escribir el libro", std::string("sin hojas"));
    EXPECT_EQ(outputMessage(c), ": no se puede escribir el libro (sin hojas)");
}

#if !defined(_WIN32)
// A full device fails when its last buffered bytes are written, at the
// commit: the failure is told, and the other outputs keep their bytes.
TEST_F(OutputFileTest, AFullDeviceFailsTheCommit) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    writeBytes("a.txt", "old a");
    OutputFile a, full;
    ASSERT_TRUE(openOutput(a, "a.txt"));
    ASSERT_TRUE(openOutput(full, "/dev/full"));
    writeOutput(a, "new a");
    writeOutput(full, "some bytes");
    std::string error;
    EXPECT_FALSE(commitOutputs({&a, &full}, error));
    EXPECT_EQ(error, "/dev/full: error al escribir (disco lleno)");
    EXPECT_EQ(readBytes("a.txt"), "old a");
    EXPECT_EQ(names(), std::set<std::string>{"a.txt"});
}
#endif

}  // namespace
}  // namespace zoneloads
