#include "zonefile/zone_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::makeZone;
using testkit::writeBytes;
using testkit::writeZoneFile;

class ZoneFileTest : public testkit::ScratchDir {};

TEST_F(ZoneFileTest, CountsTheStoredZones) {
    testkit::writeSampleZoneFile("three.bin", 3);
    EXPECT_EQ(countZones("three.bin"), 3);
    int32 count = -7;
    EXPECT_EQ(checkZoneFile("three.bin", count), ZoneFileState::usable);
    EXPECT_EQ(count, 3);
}

TEST_F(ZoneFileTest, ShortOrMissingFilesGiveNegativeCounts) {
    EXPECT_EQ(countZones("missing.bin"), -1);
    writeBytes("empty.bin", "");
    EXPECT_EQ(countZones("empty.bin"), -1);
    // Two bytes 05 00 replace the two low-order bytes of the preset -1.
    writeBytes("two.bin", std::string("\x05\x00", 2));
    EXPECT_EQ(static_cast<std::uint32_t>(countZones("two.bin")), 0xFFFF0005u);
    writeBytes("three.bin", std::string("\x01\x02\x03", 3));
    EXPECT_EQ(static_cast<std::uint32_t>(countZones("three.bin")), 0xFF030201u);

    int32 count = 0;
    EXPECT_EQ(checkZoneFile("missing.bin", count), ZoneFileState::unusable);
    EXPECT_EQ(checkZoneFile("two.bin", count), ZoneFileState::unusable);
}

TEST_F(ZoneFileTest, NegativeStoredCountIsReturnedAsItIs) {
    writeBytes("negative.bin", std::string("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(countZones("negative.bin"), -5);
    int32 count = 0;
    EXPECT_EQ(checkZoneFile("negative.bin", count), ZoneFileState::unusable);
}

TEST_F(ZoneFileTest, FileCutShortIsIncompleteAndExtraBytesAreIgnored) {
    testkit::writeSampleZoneFile("full.bin", 2);
    std::string bytes = testkit::readBytes("full.bin");
    int32 count = 0;

    writeBytes("cut.bin", bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(checkZoneFile("cut.bin", count), ZoneFileState::incomplete);
    EXPECT_EQ(count, 2);
    writeBytes("header-only.bin", bytes.substr(0, 4));
    EXPECT_EQ(checkZoneFile("header-only.bin", count), ZoneFileState::incomplete);
    writeBytes("extra.bin", bytes + "trailing bytes");
    EXPECT_EQ(checkZoneFile("extra.bin", count), ZoneFileState::usable);

    writeBytes("zero.bin", std::string(4, '\0'));
    EXPECT_EQ(checkZoneFile("zero.bin", count), ZoneFileState::usable);
    EXPECT_EQ(count, 0);
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
