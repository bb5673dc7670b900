#include "zonefile/zone_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
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
    ZoneFile zones;
    ZoneFileCheck c = openZoneFile(name, zones);
    bool usable = c.fault == ZoneFileFault::none;
    EXPECT_EQ(zones.file != nullptr, usable) << name;
    return {usable, static_cast<std::uint32_t>(c.count), usable ? "" : zoneFileMessage(c, name)};
}

// Why the file is no zone results file, in the viewer's words.
std::string why(const std::string& name) {
    ZoneFile zones;
    return zoneFileFaultWords(openZoneFile(name, zones));
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

// The one check says why in the viewer's words as well as in zoneloads's.
TEST_F(ZoneFileTest, UnusableFilesSayWhyInWords) {
    testkit::writeSampleZoneFile("two.bin", 2);
    const std::string bytes = testkit::readBytes("two.bin");
    writeBytes("cut.bin", bytes.substr(0, bytes.size() - 1));
    writeBytes("short.bin", "ab");
    writeBytes("negative.bin", std::string("\xFB\xFF\xFF\xFF", 4) + bytes);
    writeBytes("text.bin", "zone results? no: a text");
    EXPECT_EQ(why("two.bin"), "");
    EXPECT_EQ(why("cut.bin"), "dice tener 2 zonas y solo alcanza para 1");
    EXPECT_EQ(why("short.bin"), "tiene 2 bytes, menos que los 4 del n\u00famero de zonas");
    EXPECT_EQ(why("negative.bin"), "el n\u00famero de zonas es negativo (-5)");
    EXPECT_EQ(why("text.bin"), "no empieza con un n\u00famero de zonas");
    EXPECT_EQ(check("text.bin"), (Check{false, 0x656E6F7Au, kIncomplete + "text.bin"}));
    EXPECT_EQ(why("missing.bin"), "no se puede abrir (no existe la carpeta o el fichero)");
}

// The file is opened once; checked again, it is taken as it stands then.
TEST_F(ZoneFileTest, CheckedAgainAsItStandsNow) {
    testkit::writeSampleZoneFile("casa.bin", 3);
    const std::string bytes = testkit::readBytes("casa.bin");
    ZoneFile zones;
    ASSERT_EQ(openZoneFile("casa.bin", zones).fault, ZoneFileFault::none);
    EXPECT_EQ(zones.count, 3);
    writeBytes("casa.bin", std::string("\xFE\xFF\xFF\xFF", 4));
    ZoneFileCheck again = checkZoneFileAgain(zones);
    EXPECT_EQ(zoneFileMessage(again, "casa.bin"), kCannotOpen + "casa.bin");
    writeBytes("casa.bin", bytes.substr(0, bytes.size() - kZoneRecordBytes));
    EXPECT_EQ(zoneFileMessage(checkZoneFileAgain(zones), "casa.bin"), kIncomplete + "casa.bin");
    std::string two = bytes.substr(0, bytes.size() - kZoneRecordBytes);
    two[0] = 2;
    writeBytes("casa.bin", two);
    EXPECT_EQ(checkZoneFileAgain(zones).fault, ZoneFileFault::none);
    EXPECT_EQ(zones.count, 2);

#ifndef _WIN32  // Windows refuses to rename over a file held open
    // Replaced under its name: the open file is read no more, and checked
    // again, the name's new file is opened in its place.
    auto other = makeZone("Otra", 7);
    writeZoneFile("new.bin", 1, {other.get()});
    std::filesystem::rename("new.bin", "casa.bin");
    char name[kNameBytes] = {};
    EXPECT_FALSE(readZoneName(zones, 0, name));
    EXPECT_EQ(checkZoneFileAgain(zones).fault, ZoneFileFault::none);
    EXPECT_EQ(zones.count, 1);
    EXPECT_TRUE(readZoneName(zones, 0, name));
    EXPECT_EQ(zoneName(name), "Otra");
    std::filesystem::remove("casa.bin");
    EXPECT_EQ(zoneFileMessage(checkZoneFileAgain(zones), "casa.bin"), kCannotOpen + "casa.bin");
    EXPECT_EQ(zones.file, nullptr);
#endif
}

TEST_F(ZoneFileTest, ReadsTheWantedRecord) {
    auto z0 = makeZone("Z0", 0), z1 = makeZone("Z1", 1), z2 = makeZone("Z2", 2);
    writeZoneFile("three.bin", 3, {z0.get(), z1.get(), z2.get()});
    ZoneFile zones = testkit::openZones("three.bin");
    auto buffer = makeZone("other", 9);
    EXPECT_TRUE(readZone(zones, 2, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), z2.get(), sizeof(ZoneRecord)), 0);
    EXPECT_TRUE(readZone(zones, 0, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), z0.get(), sizeof(ZoneRecord)), 0);

    char name[kNameBytes] = {};
    EXPECT_TRUE(readZoneName(zones, 1, name));
    EXPECT_EQ(zoneName(name), "Z1");
    float32 series[kViewedSeries * kHoursPerYear];
    EXPECT_TRUE(readZoneSeries(zones, 2, name, series));
    EXPECT_EQ(zoneName(name), "Z2");
    EXPECT_EQ(std::memcmp(series, z2->Qs, sizeof series), 0);
}

TEST_F(ZoneFileTest, ZoneWithoutARecordLeavesTheBufferAsItWas) {
    testkit::writeSampleZoneFile("three.bin", 3);
    ZoneFile zones = testkit::openZones("three.bin");
    auto buffer = makeZone("untouched", 5);
    auto before = makeZone("untouched", 5);
    EXPECT_FALSE(readZone(zones, 3, *buffer));
    EXPECT_FALSE(readZone(zones, -1, *buffer));
    EXPECT_FALSE(readZone(ZoneFile{}, 0, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), before.get(), sizeof(ZoneRecord)), 0);

    // The count, taken afresh at each read, came to promise more than the
    // file holds: nothing to read.
    std::string bytes = testkit::readBytes("three.bin");
    bytes[0] = 4;
    writeBytes("three.bin", bytes);
    EXPECT_FALSE(readZone(zones, 3, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), before.get(), sizeof(ZoneRecord)), 0);
    // ... or fewer: zone 2 has no record any more.
    bytes[0] = 2;
    writeBytes("three.bin", bytes);
    EXPECT_FALSE(readZone(zones, 2, *buffer));
    EXPECT_EQ(std::memcmp(buffer.get(), before.get(), sizeof(ZoneRecord)), 0);
}

TEST_F(ZoneFileTest, RecordCutShortIsNotAWholeRead) {
    testkit::writeSampleZoneFile("two.bin", 2);
    ZoneFile zones = testkit::openZones("two.bin");
    std::string bytes = testkit::readBytes("two.bin");
    writeBytes("two.bin", bytes.substr(0, bytes.size() - 100));  // cut under the run
    auto buffer = makeZone("b", 1);
    char name[kNameBytes];
    EXPECT_TRUE(readZone(zones, 0, *buffer));
    EXPECT_TRUE(readZoneName(zones, 1, name));
    EXPECT_FALSE(readZone(zones, 1, *buffer));
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
