#include "zonefile/zone_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::makeZone;
using testkit::writeBytes;
using testkit::writeZoneFile;

class ZoneFileTest : public testkit::ScratchDir {};

// The check's verdict and the count it read, in one value to compare.
struct Check {
    bool usable;
    std::uint32_t count;
    std::string error;
    bool operator==(const Check& o) const { return usable == o.usable && count == o.count && error == o.error; }
};

std::ostream& operator<<(std::ostream& os, const Check& c) {
    return os << c.usable << " " << std::hex << c.count << " " << c.error;
}

Check check(const std::string& name) {
    int32 count = 0;
    std::string error;
    bool usable = checkZoneFile(name, count, error);
    return {usable, static_cast<std::uint32_t>(count), error};
}

const std::string kCannotOpen = "# Error al abrir fichero entrada ";
const std::string kIncomplete = "# Error fichero entrada incompleto ";

TEST_F(ZoneFileTest, CountsTheStoredZones) {
    testkit::writeSampleZoneFile("three.bin", 3);
    EXPECT_EQ(check("three.bin"), (Check{true, 3, ""}));
}

TEST_F(ZoneFileTest, ShortOrMissingFilesGiveNegativeCounts) {
    EXPECT_EQ(check("missing.bin"), (Check{false, 0xFFFFFFFFu, kCannotOpen + "missing.bin"}));
    writeBytes("empty.bin", "");
    EXPECT_EQ(check("empty.bin"), (Check{false, 0xFFFFFFFFu, kCannotOpen + "empty.bin"}));
    // Two bytes 05 00 replace the two low-order bytes of the preset -1.
    writeBytes("two.bin", std::string("\x05\x00", 2));
    EXPECT_EQ(check("two.bin"), (Check{false, 0xFFFF0005u, kCannotOpen + "two.bin"}));
    writeBytes("three.bin", std::string("\x01\x02\x03", 3));
    EXPECT_EQ(check("three.bin"), (Check{false, 0xFF030201u, kCannotOpen + "three.bin"}));
}

TEST_F(ZoneFileTest, NegativeStoredCountIsUnusable) {
    writeBytes("negative.bin", std::string("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(check("negative.bin"), (Check{false, static_cast<std::uint32_t>(-5), kCannotOpen + "negative.bin"}));
}

TEST_F(ZoneFileTest, FileCutShortIsIncompleteAndExtraBytesAreIgnored) {
    testkit::writeSampleZoneFile("full.bin", 2);
    std::string bytes = testkit::readBytes("full.bin");
    writeBytes("cut.bin", bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(check("cut.bin"), (Check{false, 2, kIncomplete + "cut.bin"}));
    writeBytes("header-only.bin", bytes.substr(0, 4));
    EXPECT_EQ(check("header-only.bin"), (Check{false, 2, kIncomplete + "header-only.bin"}));
    writeBytes("extra.bin", bytes + "trailing bytes");
    EXPECT_EQ(check("extra.bin"), (Check{true, 2, ""}));
    writeBytes("zero.bin", std::string(4, '\0'));
    EXPECT_EQ(check("zero.bin"), (Check{true, 0, ""}));
}

TEST_F(ZoneFileTest, ReadsTheWantedRecord) {
    auto z0 = makeZone("Z0", 0), z1 = makeZone("Z1", 1), z2 = makeZone("Z2", 2);
    writeZoneFile("three.bin", 3, {z0.get(), z1.get(), z2.get()});
    auto buffer = makeZone("other", 9);
    EXPECT_TRUE(readZone("three.bin", 2, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), z2.get(), sizeof(ZoneRecord)), 0);
    EXPECT_TRUE(readZone("three.bin", 0, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), z0.get(), sizeof(ZoneRecord)), 0);

    char name[kNameBytes] = {};
    EXPECT_TRUE(readZoneName("three.bin", 1, name));
    EXPECT_EQ(zoneName(name), "Z1");
}

TEST_F(ZoneFileTest, ZoneWithoutARecordLeavesTheBufferAsItWas) {
    testkit::writeSampleZoneFile("three.bin", 3);
    auto buffer = makeZone("untouched", 5);
    auto before = makeZone("untouched", 5);
    EXPECT_FALSE(readZone("three.bin", 3, *buffer));
    EXPECT_FALSE(readZone("three.bin", -1, *buffer));
    EXPECT_FALSE(readZone("missing.bin", 0, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), before.get(), sizeof(ZoneRecord)), 0);

    // A count that promises more than the file holds: nothing to read.
    testkit::writeSampleZoneFile("two.bin", 2);
    std::string bytes = testkit::readBytes("two.bin");
    bytes[0] = 4;
    writeBytes("promises-four.bin", bytes);
    EXPECT_FALSE(readZone("promises-four.bin", 3, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), before.get(), sizeof(ZoneRecord)), 0);
}

TEST_F(ZoneFileTest, RecordCutShortIsNotAWholeRead) {
    testkit::writeSampleZoneFile("two.bin", 2);
    std::string bytes = testkit::readBytes("two.bin");
    writeBytes("cut.bin", bytes.substr(0, bytes.size() - 100));
    auto buffer = makeZone("b", 1);
    EXPECT_TRUE(readZone("cut.bin", 0, *buffer));
    EXPECT_FALSE(readZone("cut.bin", 1, *buffer));
}

TEST(ZoneName, StopsAtTheFirstNulAndNeverPassesTheField) {
    char name[kNameBytes];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(zoneName(name), std::string(kNameBytes, 'x'));
    name[3] = '\0';
    EXPECT_EQ(zoneName(name), "xxx");
    name[0] = '\0';
    EXPECT_EQ(zoneName(name), "");
}

}  // namespace
}  // namespace zoneloads
