#include "report/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::makeZone;
using testkit::readBytes;
using testkit::reportLines;

// Writes the report; returns its error message, "" for a complete report.
std::string reportError(const std::string& input, const std::string& name, const ZoneSelection& selection) {
    std::string error;
    return writeReport(testkit::openZones(input), input, name, selection, error) ? "" : error;
}

constexpr std::size_t kBlockLines = 9 + kHoursPerYear + 1;
constexpr std::size_t kTotalsLines = 1 + kHoursPerYear;

class ReportTest : public testkit::ScratchDir {
protected:
    // Writes the zones to zones.bin, reports `slots` and returns the lines.
    std::vector<std::string> report(const std::vector<const ZoneRecord*>& zones, std::vector<int32> slots) {
        testkit::writeZoneFile("zones.bin", static_cast<int32>(zones.size()), zones);
        ZoneSelection selection{slots, ""};
        std::string error;
        EXPECT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "report.txt", selection, error)) << error;
        return reportLines(readBytes("report.txt"));
    }
    // The extremes line of a report of one zone.
    std::string extremesOf(const ZoneRecord& zone) { return report({&zone}, {0})[kBlockLines - 1]; }
};

TEST_F(ReportTest, ZoneBlockLineByLine) {
    auto zone = makeZone("Z1", 0);
    std::vector<std::string> lines = report({zone.get()}, {0});
    ASSERT_EQ(lines.size(), kBlockLines + kTotalsLines);
    EXPECT_EQ(lines[0], "# ATENCION # Los valores son orientativos de potencias sensibles");
    EXPECT_EQ(lines[1], "# ATENCION # NO sirven como c\xE1lculo de cargas.");
    EXPECT_EQ(lines[2], "# Nombre zona: Z1 : # Pesos g(i) #");
    EXPECT_EQ(lines[3],
              "0,0.01,0.02,0.03,0.04,0.05,0.06,0.07,0.08,0.09,0.1,0.11,0.12,0.13,0.14,"
              "0.15,0.16,0.17,0.18,0.19,0.2,0.21,0.22,0.23");
    EXPECT_EQ(lines[4], "# Pesos p(i) #");
    EXPECT_EQ(lines[5], "1,-0.82");
    EXPECT_EQ(lines[6], "# LEYENDA #");
    EXPECT_EQ(lines[7], "Treal[C],Tmax[C],Tmin[C],Qs[W],QL[W],VventInf[kg/s],daCal,daRef");
    EXPECT_EQ(lines[8], "# max QsREF[W] , max QsCAL[W], Para la zona");
    // Report column order: the temperatures, Qs, QL, VventInf, then daCal before daRef.
    EXPECT_EQ(lines[9 + 0], "20 , 25 , 20 , -150 , 0 , 0.0123 , 0 , 0");
    EXPECT_EQ(lines[9 + 13], "21.5 , 25 , 20 , 150 , 30 , 0.0123 , 1 , 1");
    EXPECT_EQ(lines[9 + 8759], "24.5 , 25 , 20 , -50 , 40 , 0.0123 , 2 , 1");
    EXPECT_EQ(lines[kBlockLines - 1], "150 , -150");
    EXPECT_EQ(lines[kBlockLines], "# TOTAL --- Qsensible [w] , Qlatente[W],Qs[w]Sin agregar,Qs[W]sin agregar");
    EXPECT_EQ(lines[kBlockLines + 1 + 13], "150 , 30 , 0 , 150");
    EXPECT_EQ(lines[kBlockLines + 1 + 0], "-150 , 0 , -150 , 0");
    EXPECT_EQ(lines[kBlockLines + 1 + 3], "0 , 30 , 0 , 0");  // a Qs of 0
}

TEST_F(ReportTest, EveryLineEndsInCrLf) {
    auto zone = makeZone("Z1", 0);
    report({zone.get()}, {0});
    std::string bytes = readBytes("report.txt");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::size_t lineFeeds = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lineFeeds;
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_EQ(lineFeeds, kBlockLines + kTotalsLines);
}

TEST_F(ReportTest, ExtremesStartAtZero) {
    auto zone = makeZone("Z", 0);
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), 0.0f);
    EXPECT_EQ(extremesOf(*zone), "0 , 0");
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), 12.5f);
    EXPECT_EQ(extremesOf(*zone), "12.5 , 0");
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), -3.0f);
    EXPECT_EQ(extremesOf(*zone), "0 , -3");
    zone->Qs[100] = 180.5f;
    zone->Qs[200] = -250.0f;
    EXPECT_EQ(extremesOf(*zone), "180.5 , -250");
    zone->Qs[300] = 1.5e6f;
    EXPECT_EQ(extremesOf(*zone), "1.5e+06 , -250");
}

TEST_F(ReportTest, NanReplacesTheMinimumButNeverTheMaximum) {
    auto zone = makeZone("Z", 0);
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), 5.0f);
    zone->Qs[kHoursPerYear - 1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(extremesOf(*zone), "5 , nan");
    // Nothing compares >= NaN, so the next hour replaces it again.
    zone->Qs[10] = std::numeric_limits<float>::quiet_NaN();
    zone->Qs[kHoursPerYear - 1] = 7.0f;
    EXPECT_EQ(extremesOf(*zone), "7 , 5");
}

TEST_F(ReportTest, SpecialValuesInTheSeries) {
    auto zone = makeZone("Z", 0);
    zone->Treal[0] = std::numeric_limits<float>::infinity();
    zone->Tmax[0] = -0.0f;
    zone->Tmin[0] = 1e-40f;  // subnormal
    zone->QL[0] = -std::numeric_limits<float>::infinity();
    std::vector<std::string> lines = report({zone.get()}, {0});
    EXPECT_EQ(lines[9], "inf , -0 , 9.99995e-41 , -150 , -inf , 0.0123 , 0 , 0");
}

TEST_F(ReportTest, EmptySelectionGivesOnlyZeroTotals) {
    auto zone = makeZone("Z", 0);
    for (std::vector<int32> slots : {std::vector<int32>{-1}, std::vector<int32>{}}) {
        std::vector<std::string> lines = report({zone.get()}, slots);
        ASSERT_EQ(lines.size(), kTotalsLines);
        EXPECT_EQ(lines[0].substr(0, 9), "# TOTAL -");
        for (std::size_t i = 1; i < lines.size(); ++i) ASSERT_EQ(lines[i], "0 , 0 , 0 , 0");
    }
}

TEST_F(ReportTest, WalkStopsAtTheFirstNegativeSlot) {
    auto z0 = makeZone("Z0", 0), z1 = makeZone("Z1", 1), z2 = makeZone("Z2", 2);
    std::vector<std::string> lines = report({z0.get(), z1.get(), z2.get()}, {0, -1, 2});
    ASSERT_EQ(lines.size(), kBlockLines + kTotalsLines);
    EXPECT_EQ(lines[2], "# Nombre zona: Z0 : # Pesos g(i) #");
}

TEST_F(ReportTest, SameZoneTwiceGivesTwoBlocksAndDoubledTotals) {
    auto z0 = makeZone("Z0", 0), z3 = makeZone("Z3", 3);
    std::vector<std::string> lines = report({z0.get(), z3.get()}, {1, 0, 1});
    ASSERT_EQ(lines.size(), 3 * kBlockLines + kTotalsLines);
    EXPECT_TRUE(std::equal(lines.begin(), lines.begin() + kBlockLines, lines.begin() + 2 * kBlockLines));
    EXPECT_EQ(lines[kBlockLines + 2], "# Nombre zona: Z0 : # Pesos g(i) #");
    // Hour 13: Qs 153 twice plus 150; QL 30 three times.
    EXPECT_EQ(lines[3 * kBlockLines + 1 + 13], "456 , 90 , 0 , 456");
}

TEST_F(ReportTest, TotalsOfTwoZonesOfOppositeSign) {
    auto a = makeZone("A", 0), b = makeZone("B", 0);
    a->Qs[7] = 100.0f;
    a->QL[7] = 12.25f;
    b->Qs[7] = -40.0f;
    b->QL[7] = 0.5f;
    std::vector<std::string> lines = report({a.get(), b.get()}, {0, 1});
    EXPECT_EQ(lines[2 * kBlockLines + 1 + 7], "60 , 12.75 , -40 , 100");
}

TEST_F(ReportTest, ReportFileThatCannotBeOpened) {
    auto zone = makeZone("Z", 0);
    testkit::writeZoneFile("zones.bin", 1, {zone.get()});
    ZoneSelection selection{{0}, ""};
    EXPECT_EQ(reportError("zones.bin", "missing-folder/r.txt", selection),
              "# Error al abrir fichero salida missing-folder/r.txt");
    std::filesystem::create_directory("folder");
    EXPECT_EQ(reportError("zones.bin", "folder", selection), "# Error al abrir fichero salida folder");
}

// The names in the current folder, to see that no temporary file is left.
std::vector<std::string> folderNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ReportTest, FailedReportKeepsTheOldOneAndCreatesNone) {
    auto zone = makeZone("Z", 0);
    testkit::writeZoneFile("zones.bin", 1, {zone.get()});
    testkit::writeBytes("r.txt", "old report");
    ZoneSelection selection{{0, 1}, ""};  // zone 1 is not in the file
    std::vector<std::string> before = folderNames();
    EXPECT_EQ(reportError("zones.bin", "r.txt", selection), "# Error al leer fichero entrada zones.bin");
    EXPECT_EQ(readBytes("r.txt"), "old report");
    EXPECT_EQ(reportError("zones.bin", "new.txt", selection), "# Error al leer fichero entrada zones.bin");
    EXPECT_EQ(folderNames(), before);
}

TEST_F(ReportTest, CompleteReportReplacesTheOldOneWithItsPermissions) {
    namespace fs = std::filesystem;
    auto zone = makeZone("Z", 0);
    testkit::writeZoneFile("zones.bin", 1, {zone.get()});
    testkit::writeBytes("r.txt", "old report");
    fs::permissions("r.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::perms old = fs::status("r.txt").permissions();
    std::vector<std::string> before = folderNames();
    ZoneSelection selection{{0}, ""};
    ASSERT_EQ(reportError("zones.bin", "r.txt", selection), "");
    EXPECT_EQ(reportLines(readBytes("r.txt")).size(), kBlockLines + kTotalsLines);
    EXPECT_EQ(fs::status("r.txt").permissions(), old);
    EXPECT_EQ(folderNames(), before);
}

#ifndef _WIN32
TEST_F(ReportTest, ReportThroughALinkUpdatesTheLinkedFile) {
    namespace fs = std::filesystem;
    auto zone = makeZone("Z", 0);
    testkit::writeZoneFile("zones.bin", 1, {zone.get()});
    fs::create_directory("sub");
    testkit::writeBytes("sub/target.txt", "old report");
    fs::create_symlink("sub/target.txt", "link.txt");
    fs::create_symlink("sub/new.txt", "dangling.txt");
    ZoneSelection selection{{0}, ""};
    ASSERT_EQ(reportError("zones.bin", "link.txt", selection), "");
    EXPECT_TRUE(fs::is_symlink("link.txt"));
    EXPECT_EQ(reportLines(readBytes("sub/target.txt")).size(), kBlockLines + kTotalsLines);
    ASSERT_EQ(reportError("zones.bin", "dangling.txt", selection), "");
    EXPECT_TRUE(fs::is_symlink("dangling.txt"));
    EXPECT_EQ(readBytes("sub/new.txt"), readBytes("sub/target.txt"));
}
#endif

// Blocks formatted on the calling thread alone and on several threads give
// the same bytes, whatever the zones and their order.
TEST_F(ReportTest, OneThreadAndManyThreadsWriteTheSameBytes) {
    std::vector<std::unique_ptr<ZoneRecord>> zones;
    std::vector<const ZoneRecord*> pointers;
    for (int i = 0; i < 7; ++i) {
        zones.push_back(makeZone("Z" + std::to_string(i), i * 3 - 9));
        zones.back()->Qs[i * 1000] = std::numeric_limits<float>::quiet_NaN();
        pointers.push_back(zones.back().get());
    }
    testkit::writeZoneFile("zones.bin", 7, pointers);
    ZoneSelection selection{{3, 0, 6, 6, 1, 5, 2, 4, 0, 3, 1}, ""};
    std::string error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "one.txt", selection, error, 0)) << error;
    for (int threads : {1, 2, 5}) {
        ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "many.txt", selection, error, threads))
            << error;
        EXPECT_EQ(readBytes("many.txt"), readBytes("one.txt")) << threads << " threads";
    }
    EXPECT_EQ(reportLines(readBytes("one.txt")).size(), 11 * kBlockLines + kTotalsLines);
}

#ifndef _WIN32
TEST_F(ReportTest, FullDiskIsAWriteFailure) {
    if (!testkit::fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto zone = makeZone("Z", 0);
    testkit::writeZoneFile("zones.bin", 1, {zone.get()});
    ZoneSelection selection{{0}, ""};
    EXPECT_EQ(reportError("zones.bin", "/dev/full", selection), "# Error al escribir fichero salida /dev/full");
}
#endif

}  // namespace
}  // namespace zoneloads
