#include "view/viewer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "report/report.h"
#include "testkit/zone_files.h"

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
    ASSERT_TRUE(writeReport("zones.bin", "a.txt", ZoneSelection{{4, 0, 3, 1, 2, 0}, ""}, error)) << error;
    ASSERT_TRUE(writeReport("zones.bin", "b.txt", ZoneSelection{{2}, ""}, error)) << error;

    ViewerOptions options{{"a.txt", "b.txt"}, "one.html", "one.csv"};
    std::vector<SummaryRow> oneRows;
    ASSERT_TRUE(writeViewerOutputs(options, 0, oneRows, error)) << error;
    for (int threads : {1, 2, 4}) {
        ViewerOptions many{{"a.txt", "b.txt"}, "many.html", "many.csv"};
        std::vector<SummaryRow> rows;
        ASSERT_TRUE(writeViewerOutputs(many, threads, rows, error)) << error;
        EXPECT_EQ(rows, oneRows) << threads;
        EXPECT_EQ(readBytes("many.html"), readBytes("one.html")) << threads;
        EXPECT_EQ(readBytes("many.csv"), readBytes("one.csv")) << threads;
    }
    EXPECT_EQ(oneRows.size(), 6u + 1u + 1u + 1u);
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
