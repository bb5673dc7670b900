#include "report/section_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "report/report.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::makeZone;

// What a reader takes of one section.
struct ReadSection {
    bool totals;
    int block;
    int zone;
    std::string name;
    SectionHours hours;
};

// Every section of an input, a report or a zone results file.
std::vector<ReadSection> readInput(const std::string& input) {
    SectionSource source;
    std::string error;
    EXPECT_TRUE(openSectionSource(source, input, error)) << error;
    std::vector<ReadSection> read;
    Section section;
    ReadResult result;
    while ((result = readSection(source, section, error)) == ReadResult::section) {
        read.push_back({section.totals, section.block, section.zone, section.name, {}});
        EXPECT_TRUE(readSectionHours(input, section, read.back().hours, error)) << error;
    }
    EXPECT_EQ(result, ReadResult::end) << error;
    closeSectionSource(source);
    return read;
}

// The same sections, read back from the report of all its zones as
// zoneloads writes it.
std::vector<ReadSection> fromReport(const std::string& input, int32 zones) {
    ZoneSelection all{{}, ""};
    for (int32 z = 0; z < zones; ++z) all.slots.push_back(z);
    std::string error;
    EXPECT_TRUE(writeReport(testkit::openZones(input), input, "all.txt", all, error)) << error;
    return readInput("all.txt");
}

// Equal doubles bit for bit (NaN with its sign, -0 apart from 0).
void expectSameBits(const std::vector<double>& a, const std::vector<double>& b, const char* what, int block) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t h = 0; h < a.size(); ++h) {
        ASSERT_EQ(std::memcmp(&a[h], &b[h], sizeof(double)), 0)
            << what << " of block " << block << ", hour " << h << ": " << a[h] << " vs " << b[h];
    }
}

void expectSameSections(const std::vector<ReadSection>& zoneFile, const std::vector<ReadSection>& report) {
    ASSERT_EQ(zoneFile.size(), report.size());
    for (std::size_t k = 0; k < report.size(); ++k) {
        const ReadSection& a = zoneFile[k];
        const ReadSection& b = report[k];
        EXPECT_EQ(a.totals, b.totals);
        EXPECT_EQ(a.block, b.block);
        EXPECT_EQ(a.name, b.name);
        // The zone's number is the zone results file's alone: a report holds none.
        EXPECT_EQ(a.zone, a.totals ? -1 : a.block - 1);
        EXPECT_EQ(b.zone, -1);
        expectSameBits(a.hours.qs, b.hours.qs, "Qs", b.block);
        expectSameBits(a.hours.ql, b.hours.ql, "QL", b.block);
        expectSameBits(a.hours.treal, b.hours.treal, "Treal", b.block);
        expectSameBits(a.hours.tmax, b.hours.tmax, "Tmax", b.block);
        expectSameBits(a.hours.tmin, b.hours.tmin, "Tmin", b.block);
        expectSameBits(a.hours.qsNeg, b.hours.qsNeg, "Qs not above 0", b.block);
        expectSameBits(a.hours.qsPos, b.hours.qsPos, "Qs above 0", b.block);
    }
}

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

class SectionSourceTest : public testkit::ScratchDir {};

// Every value the report could print, and names of any bytes: the sections
// of the zone results file are those read back from its report, each double
// bit for bit, the totals (summed in single precision, in zone order)
// included.
TEST_F(SectionSourceTest, SectionsAreThoseOfTheReportOfAllZones) {
    auto plain = makeZone("Oficina", 3);
    auto odd = makeZone("", -7);
    std::memset(odd->name, 'x', kNameBytes);  // 52 bytes, no NUL
    std::memcpy(odd->name, "A\r\nB : # Pesos g(i) #\n", 22);
    auto extremes = makeZone("Extremos", 1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float specials[] = {nan,        -nan,       INFINITY, -INFINITY, -0.0f,      0.0f,
                              1e-45f,     -1.17e-38f, 3.4e38f,  -1e27f,    1e28f,      1.5e-17f,
                              9.999995f,  100000.5f,  0.0001f,  999999.5f, 1234567.0f, fromBits(0x3F800001),
                              6933.1001f, -253.6f};
    // A pseudo-random pattern in every hour: every exponent, both signs.
    std::uint32_t state = 12345;
    for (int h = 0; h < kHoursPerYear; ++h) {
        state = state * 1664525u + 1013904223u;
        extremes->Qs[h] = fromBits(state);
        extremes->QL[h] = specials[h % (sizeof specials / sizeof specials[0])];
        extremes->Treal[h] = fromBits(state ^ 0x5A5A5A5Au);
        extremes->Tmax[h] = specials[(h / 24) % (sizeof specials / sizeof specials[0])];
        extremes->Tmin[h] = static_cast<float>(h) * 0.1f - 400.0f;
    }
    testkit::writeZoneFile("casa.bin", 3, {plain.get(), odd.get(), extremes.get()});
    std::vector<ReadSection> report = fromReport("casa.bin", 3);
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report[1].name.size(), 52u);
    expectSameSections(readInput("casa.bin"), report);
}

// No zones: the totals alone, all zeros, as the report of none holds; bytes
// after the last record are never read.
TEST_F(SectionSourceTest, NoZonesGiveTheTotalsAloneAndTrailingBytesAreIgnored) {
    testkit::writeBytes("none.bin", std::string(4, '\0') + "anything");
    std::vector<ReadSection> read = readInput("none.bin");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_TRUE(read[0].totals);
    EXPECT_EQ(read[0].hours.qs, std::vector<double>(kHoursPerYear, 0.0));
    expectSameSections(read, fromReport("none.bin", 0));
}

// A file that is neither a report nor a zone results file says why it is
// not each, in one line; a zone results file that shrinks under the run is a
// read error naming the zone.
TEST_F(SectionSourceTest, NeitherReportNorZoneFileAndFilesThatChange) {
    testkit::writeSampleZoneFile("two.bin", 2);
    const std::string bytes = testkit::readBytes("two.bin");
    testkit::writeBytes("cut.bin", bytes.substr(0, bytes.size() - 1));
    SectionSource source;
    std::string error;
    EXPECT_FALSE(openSectionSource(source, "cut.bin", error));
    EXPECT_EQ(error,
              "cut.bin: no es un informe de zoneloads (la l\u00ednea 1 no abre un bloque de zona ni la secci\u00f3n "
              "de totales) ni un fichero de resultados de zonas (dice tener 2 zonas y solo alcanza para 1)");

    ASSERT_TRUE(openSectionSource(source, "two.bin", error)) << error;
    EXPECT_TRUE(source.zoneFile);
    Section section;
    EXPECT_EQ(readSection(source, section, error), ReadResult::section);
    std::filesystem::resize_file("two.bin", kCountBytes + kZoneRecordBytes + 1000);  // zone 1 cut in its Qs
    EXPECT_EQ(readSection(source, section, error), ReadResult::error);
    EXPECT_EQ(error, "two.bin: error al leer la zona 1 (el fichero ha cambiado o no se puede leer)");
    closeSectionSource(source);
}

}  // namespace
}  // namespace zoneloads
