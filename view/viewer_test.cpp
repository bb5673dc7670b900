#include "view/viewer.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "report/report.h"
#include "testkit/zone_files.h"
#include "view/tables/csv.h"

namespace zoneloads {
namespace view {
namespace {

using testkit::readBytes;

class ViewerTest : public testkit::ScratchDir {};

// Sections read and drawn on the calling thread alone and on several threads
// give the same page, CSV and rows, for reports of several blocks each.
TEST_F(ViewerTest, OneThreadAndManyThreadsWriteTheSameBytes) {
    std::vector<std::unique_ptr<ZoneRecord>> zones;
    std::vector<const ZoneRecord*> pointers;
    for (int i = 0; i < 5; ++i) {
        zones.push_back(testkit::makeZone("Zona " + std::to_string(i), i * 40 - 90));
        zones.back()->Qs[i * 777] = std::numeric_limits<float>::quiet_NaN();
        pointers.push_back(zones.back().get());
    }
    testkit::writeZoneFile("zones.bin", 5, pointers);
    std::string error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "a.txt",
                            ZoneSelection{{4, 0, 3, 1, 2, 0}, ""}, error))
        << error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "b.txt", ZoneSelection{{2}, ""}, error))
        << error;

    ViewerOptions options;
    options.reports = {"a.txt", "b.txt"};
    options.page = "one.html";
    options.csv = "one.csv";
    std::vector<SummaryRow> oneRows;
    ASSERT_TRUE(writeViewerOutputs(options, 0, oneRows, error)) << error;
    for (int threads : {1, 2, 4}) {
        ViewerOptions many = options;
        many.page = "many.html";
        many.csv = "many.csv";
        std::vector<SummaryRow> rows;
        ASSERT_TRUE(writeViewerOutputs(many, threads, rows, error)) << error;
        ASSERT_EQ(rows.size(), oneRows.size());
        EXPECT_EQ(scriptCsv(rows, {}), scriptCsv(oneRows, {})) << threads;
        EXPECT_EQ(readBytes("many.html"), readBytes("one.html")) << threads;
        EXPECT_EQ(readBytes("many.csv"), readBytes("one.csv")) << threads;
    }
    EXPECT_EQ(oneRows.size(), 6u + 1u + 1u + 1u);
}

class ViewerOutputs : public testkit::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        auto zone = testkit::makeZone("Z", 0);
        testkit::writeZoneFile("zones.bin", 1, {zone.get()});
        std::string error;
        ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "a.txt", ZoneSelection{{0}, ""}, error))
            << error;
    }
    // The run's error, "" when it succeeded.
    static std::string run(const std::string& page, const std::string& csv) {
        std::vector<SummaryRow> rows;
        std::string error;
        ViewerOptions options;
        options.reports = {"a.txt"};
        options.page = page;
        options.csv = csv;
        return writeViewerOutputs(options, 0, rows, error) ? "" : error;
    }
    static std::set<std::string> names() {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            found.insert(entry.path().filename().string());
        return found;
    }
};

// The page and the CSV may not be one file, however named: refused before
// anything is written.
TEST_F(ViewerOutputs, PageAndCsvMustBeDistinct) {
    std::set<std::string> before = names();
    EXPECT_EQ(run("x.html", "x.html"), "x.html: la p\xC3\xA1gina y el CSV no pueden ser el mismo fichero");
    EXPECT_EQ(run("x.html", "./x.html"), "./x.html: la p\xC3\xA1gina y el CSV no pueden ser el mismo fichero");
    testkit::writeBytes("old.html", "old");
    EXPECT_NE(run("old.html", "sub/../old.html"), "");
    EXPECT_EQ(readBytes("old.html"), "old");
    before.insert("old.html");
    // Through a link to a file not made yet, or (where names are compared
    // whatever their case) in other letters: still one file.
#if defined(_WIN32)
    EXPECT_EQ(run("new.html", "NEW.html"), "NEW.html: la p\xC3\xA1gina y el CSV no pueden ser el mismo fichero");
#else
    std::filesystem::create_symlink("target.html", "link.html");
    before.insert("link.html");
    EXPECT_EQ(run("link.html", "target.html"), "target.html: la p\xC3\xA1gina y el CSV no pueden ser el mismo fichero");
#endif
    EXPECT_EQ(names(), before);
}

// A page or CSV that is a device is written in place, so the page can be
// discarded and only the CSV kept.
TEST_F(ViewerOutputs, ADeviceDiscardsAnOutput) {
#if defined(_WIN32)
    const std::string device = "NUL";
#else
    const std::string device = "/dev/null";
#endif
    std::set<std::string> before = names();
    ASSERT_EQ(run(device, "t.csv"), "");
    EXPECT_EQ(testkit::reportLines(readBytes("t.csv")).size(), 3u);
    before.insert("t.csv");
    EXPECT_EQ(names(), before);
    EXPECT_EQ(run("p.html", device), "");
    EXPECT_EQ(run(device, device), "");
}

// What cannot be created says why, and leaves nothing behind.
TEST_F(ViewerOutputs, FailuresSayWhy) {
    std::set<std::string> before = names();
    EXPECT_EQ(run("p.html", "missing/t.csv"), "missing/t.csv: no se puede crear (no existe la carpeta o el fichero)");
    EXPECT_EQ(run("missing/p.html", ""), "missing/p.html: no se puede crear (no existe la carpeta o el fichero)");
    std::filesystem::create_directory("folder");
    before.insert("folder");
    EXPECT_EQ(run("folder", "").substr(0, 25), "folder: no se puede crear");
    EXPECT_EQ(names(), before);
}

#if defined(_WIN32)
// A workbook open in a spreadsheet program (which shares it for reading
// only) cannot be replaced: the run says so, and the page beside it keeps
// its old bytes too.
TEST_F(ViewerOutputs, AWorkbookOpenElsewhereReplacesNothing) {
    testkit::writeBytes("p.html", "old page");
    testkit::writeBytes("b.xlsx", "old book");
    HANDLE open = CreateFileW(L"b.xlsx", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    ViewerOptions options;
    options.reports = {"a.txt"};
    options.page = "p.html";
    options.xlsx = "b.xlsx";
    std::vector<SummaryRow> rows;
    std::string error;
    EXPECT_FALSE(writeViewerOutputs(options, 0, rows, error));
    CloseHandle(open);
    EXPECT_EQ(error, "b.xlsx: error al escribir (abierto en otro programa)");
    EXPECT_EQ(readBytes("p.html"), "old page");
    EXPECT_EQ(readBytes("b.xlsx"), "old book");
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}
#endif

}  // namespace
}  // namespace view
}  // namespace zoneloads
