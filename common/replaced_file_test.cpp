#include "common/replaced_file.h"

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

class ReplacedFileTest : public testkit::ScratchDir {
protected:
    // Writes `text` to `name` through a ReplacedFile; false when it could
    // not be opened or finished.
    static bool replace(const fs::path& name, const std::string& text, int* error = nullptr) {
        ReplacedFile f;
        bool done = openReplaced(f, name) && std::fputs(text.c_str(), f.file) >= 0 && finishReplaced(f, true);
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
TEST_F(ReplacedFileTest, TheLongestLegalNameIsTaken) {
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
TEST_F(ReplacedFileTest, FileWithoutWritePermissionIsNotReplaced) {
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
TEST_F(ReplacedFileTest, OpenStreamsAreWrittenInPlace) {
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
TEST_F(ReplacedFileTest, InterruptRemovesTheTemporary) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        writeBytes("r.txt", "old");
        EXPECT_EXIT(
            {
                ReplacedFile f;
                if (!openReplaced(f, "r.txt")) std::_Exit(3);
                std::fputs("half a report", f.file);
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

// Scratch files have no name: nothing of them is left in any folder.
TEST_F(ReplacedFileTest, ScratchFileIsReadBackAndLeavesNothing) {
    std::FILE* scratch = openScratchFile();
    ASSERT_NE(scratch, nullptr);
    std::fputs("scratch", scratch);
    std::fflush(scratch);
    std::rewind(scratch);
    char back[8] = {};
    EXPECT_EQ(std::fread(back, 1, 7, scratch), 7u);
    EXPECT_STREQ(back, "scratch");
    std::fclose(scratch);
    EXPECT_TRUE(names().empty());
}

}  // namespace
}  // namespace zoneloads
