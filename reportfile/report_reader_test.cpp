#include "reportfile/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/number_format.h"
#include "common/platform.h"
#include "common/text_encoding.h"
#include "report/report.h"
#include "reportfile/report_format.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::readBytes;
using testkit::writeBytes;

const char* const kOddName = "<script>&\"\xE1\xBA";

// The report of testkit's known zones, A (named kOddName), B, A.
void writeMadeUpReport(const std::string& path) {
    auto zones = testkit::makeKnownZones(kOddName);
    testkit::writeZoneFile("zones.bin", 2, {zones[0].get(), zones[1].get()});
    ZoneSelection selection{{0, 1, 0}, ""};
    std::string error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", path, selection, error)) << error;
}

struct Read {
    std::vector<Section> sections;
    std::vector<SectionHours> hours;
    std::string error;
    ReadResult last;
};

// The report at `path`, read whole; named `shownName` in messages when one
// is given.
Read readAll(const std::string& path, const std::string& shownName = "") {
    Read r;
    ReportReader reader;
    const std::string name = shownName.empty() ? path : shownName;
    if (shownName.empty() ? !openReportFile(reader, path, r.error) : !openForReading(path)) {
        r.last = ReadResult::error;
        return r;
    }
    if (!shownName.empty()) openReportStream(reader, openForReading(path), shownName);
    Section s;
    while ((r.last = readReportSection(reader, s, r.error)) == ReadResult::section) {
        SectionHours hours;
        if (!readSectionHours(name, s, hours, r.error)) {
            r.last = ReadResult::error;
            break;
        }
        r.sections.push_back(s);
        r.hours.push_back(hours);
    }
    closeReportFile(reader);
    return r;
}

// Lines joined back into a report's bytes.
std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The report r.txt of the one zone, written by zoneloads's own writer, as read.
Read reportOf(const ZoneRecord& zone) {
    testkit::writeZoneFile("zones.bin", 1, {&zone});
    ZoneSelection selection{{0}, ""};
    std::string error;
    EXPECT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "r.txt", selection, error)) << error;
    return readAll("r.txt");
}

class ReportReaderTest : public testkit::ScratchDir {};

// Every value the report's writers write is read back by the section's
// readers as the value of its text, with its sign; the sections come in
// order, named and numbered.
TEST_F(ReportReaderTest, WhatTheWritersWriteIsReadBack) {
    writeMadeUpReport("r.txt");
    Read r = readAll("r.txt");
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    ASSERT_EQ(r.sections.size(), 4u);
    EXPECT_EQ(r.sections[0].name, kOddName);
    EXPECT_EQ(r.sections[1].name, "B");
    EXPECT_EQ(r.sections[1].block, 2);
    EXPECT_TRUE(r.sections[3].totals);
    EXPECT_EQ(r.sections[3].block, 0);
    const SectionHours& a = r.hours[0];
    EXPECT_EQ(a.qs[100], 500);
    EXPECT_EQ(a.qs[300], -250.5);
    EXPECT_EQ(a.qs[5000], 1000.25);
    EXPECT_EQ(a.ql[7], 10);
    EXPECT_EQ(a.treal[3], 21.5);  // 20 + (h % 10) / 2
    EXPECT_EQ(a.tmax[3], 25);
    EXPECT_TRUE(a.qsPos.empty());
    EXPECT_TRUE(std::isnan(r.hours[1].qs[9]));
    EXPECT_EQ(r.hours[1].qs[10], -1);
    // The totals: A twice and B, the parts split by sign.
    const SectionHours& totals = r.hours[3];
    EXPECT_TRUE(totals.treal.empty());
    EXPECT_EQ(totals.qs[100], 999);
    EXPECT_EQ(totals.qsPos[100], 1000);
    EXPECT_EQ(totals.qsNeg[100], -1);
    EXPECT_EQ(totals.ql[100], 22);
    EXPECT_TRUE(std::isnan(totals.qsNeg[0]));
}

TEST_F(ReportReaderTest, MalformedReportsNameTheirLine) {
    writeMadeUpReport("r.txt");
    std::string good = readBytes("r.txt");
    std::vector<std::string> lines = testkit::reportLines(good);
    std::vector<std::string> fieldTooFew = lines;
    fieldTooFew[20] = fieldTooFew[20].substr(0, fieldTooFew[20].rfind(" , "));
    std::vector<std::string> totalsCut(lines.begin(), lines.end() - 100);
    // A line break lost in the totals (or in the last block before a cut):
    // the line that holds two is named, as within a zone block.
    std::vector<std::string> totalsMerged = lines;
    const std::size_t merged = lines.size() - 500;
    totalsMerged[merged] += totalsMerged[merged + 1];
    totalsMerged.erase(totalsMerged.begin() + static_cast<std::ptrdiff_t>(merged) + 1);
    std::vector<std::string> blockMergedCut(lines.begin(), lines.begin() + 5000);
    blockMergedCut[4000] += blockMergedCut[4001];
    blockMergedCut.erase(blockMergedCut.begin() + 4001);
    std::vector<std::string> blockCut(lines.begin(), lines.begin() + 5000);
    std::vector<std::string> longLine = lines;  // a number of 60,000 digits: refused before it is kept
    longLine[4000] = std::string(60000, '1') + longLine[4000];
    struct Case {
        std::string text;
        std::string messageStart;
    } cases[] = {
        {joinLines(fieldTooFew), "f.txt, l\xC3\xADnea 21: "},
        {joinLines(blockCut), "f.txt, l\xC3\xADnea 5001: el informe termina antes de tiempo"},
        {joinLines(longLine), "f.txt, l\xC3\xADnea 4001: l\xC3\xADnea demasiado larga"},
        {joinLines(totalsCut),
         "f.txt, l\xC3\xADnea " + std::to_string(lines.size() - 99) + ": el informe termina antes de tiempo"},
        {joinLines(totalsMerged),
         "f.txt, l\xC3\xADnea " + std::to_string(merged + 1) + ": se esperaban 4 campos (una l\xC3\xADnea de totales)"},
        {joinLines(blockMergedCut), "f.txt, l\xC3\xADnea 4001: una l\xC3\xADnea horaria tiene 8 n\xC3\xBAmeros"},
        {good.substr(0, good.size() - 1),
         "f.txt, l\xC3\xADnea " + std::to_string(lines.size()) + ": el informe termina a mitad"},
        {good + "more\r\n", "f.txt, l\xC3\xADnea " + std::to_string(lines.size() + 1) + ": texto tras el final"},
        {"hola\r\n", "f.txt, l\xC3\xADnea 1: no es un informe"},
        {"", "f.txt, l\xC3\xADnea 1: el fichero est\xC3\xA1 vac\xC3\xADo"},
    };
    for (const Case& c : cases) {
        writeBytes("f.txt", c.text);
        Read r = readAll("f.txt");
        EXPECT_EQ(r.last, ReadResult::error);
        EXPECT_EQ(r.error.substr(0, c.messageStart.size()), c.messageStart) << r.error;
    }
}

// Whichever line is at fault, of the opening, the hours, the extremes or
// the totals, or a report cut, merged or run on, the message names the file
// as a terminal may show it: control bytes as their pictures, never raw.
TEST_F(ReportReaderTest, EveryLineFaultShowsTheFileNameSafely) {
    writeMadeUpReport("r.txt");
    const std::string good = readBytes("r.txt");
    const std::vector<std::string> lines = testkit::reportLines(good);
    auto changed = [&lines](std::size_t at, const std::string& line) {
        std::vector<std::string> c = lines;
        c[at] = line;
        return joinLines(c);
    };
    std::vector<std::string> merged(lines.begin(), lines.begin() + 5000);
    merged[4000] += merged[4001];
    merged.erase(merged.begin() + 4001);
    const std::size_t totalsLine = lines.size() - 2;
    const std::pair<std::string, std::string> cases[] = {
        {changed(1, "# ATENCION"), "l\xC3\xADnea 2: se esperaba"},
        {changed(2, "# Nombre"), "l\xC3\xADnea 3: se esperaba"},
        {changed(3, "x" + lines[3].substr(1)), "l\xC3\xADnea 4: campo 1"},
        {changed(20, "16e" + lines[20].substr(lines[20].find(" , "))), "l\xC3\xADnea 21: Treal no es"},
        {changed(8769, "1 , x"), "l\xC3\xADnea 8770: se esperaban 2"},
        {changed(totalsLine, "0 , x , 0 , 0"), "l\xC3\xADnea " + std::to_string(totalsLine + 1) + ": campo 2"},
        {joinLines(std::vector<std::string>(lines.begin(), lines.begin() + 5000)), "l\xC3\xADnea 5001: el informe"},
        {joinLines(merged), "l\xC3\xADnea 4001: una l\xC3\xADnea horaria"},
        {changed(4000, std::string(60000, '1')), "l\xC3\xADnea 4001: l\xC3\xADnea demasiado"},
        {good + "more\r\n", "texto tras el final"},
        {"", "l\xC3\xADnea 1: el fichero est\xC3\xA1 vac\xC3\xADo"},
    };
    const std::string name = "informe\x1B]0;owned\x07\x9B.txt";
    const std::string shown = displayFileName(name) + ", ";
    for (const auto& c : cases) {
        writeBytes("f.txt", c.first);
        Read r = readAll("f.txt", name);
        EXPECT_EQ(r.last, ReadResult::error);
        EXPECT_EQ(r.error.substr(0, shown.size()), shown) << r.error;
        EXPECT_NE(r.error.find(c.second), std::string::npos) << r.error;
        EXPECT_TRUE(std::none_of(r.error.begin(), r.error.end(), [](char b) { return b >= 0 && b < 0x20; })) << r.error;
    }
}

TEST_F(ReportReaderTest, HourlyLinesOfEveryShape) {
    // Values of every form the report writes: exponents, NaN, infinities,
    // -0, subnormals, long fields and lines.
    auto zone = testkit::makeZone("Z", 0);
    const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                            -std::numeric_limits<float>::infinity(),
                            -0.0f,
                            1e-42f,
                            1.5e6f,
                            -0.000123457f,
                            -123456.0f,
                            0.5f};
    for (int h = 0; h < kHoursPerYear; ++h) {
        float v = values[h % 8];
        zone->Treal[h] = zone->Tmax[h] = zone->Tmin[h] = zone->VventInf[h] = v;
        zone->Qs[h] = v;
        zone->daCal[h] = -2147483647 - 1;
    }
    Read r = reportOf(*zone);
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    EXPECT_TRUE(std::isnan(r.hours[0].qs[0]));
    EXPECT_EQ(r.hours[0].qs[1], -HUGE_VAL);
    EXPECT_TRUE(std::signbit(r.hours[0].qs[2]));  // -0
    EXPECT_EQ(r.hours[0].qs[4], 1.5e6);
    EXPECT_EQ(r.hours[0].qs[5], -0.000123457);
    EXPECT_EQ(r.hours[0].tmin[6], -123456);

    // Lines that are no hourly line, each at line 10 of the block.
    std::vector<std::string> lines = testkit::reportLines(readBytes("r.txt"));
    for (const char* bad :
         {"1 , 2 ,  , 4 , 5 , 6 , 7 , 8", "1 , 2 , 3,4 , 5 , 6 , 7 , 8", "1 , 2 , 3 , 4 , 5 , 6 , 7 ,",
          "1 , 2 , 3 , 4 , 5 , 6 , 7 , 8 , 9", "1 , 2 , 3 , 4 , 5 , 6 , 7 , 8 ", "1  , 2 , 3 , 4 , 5 , 6 , 7 , 8",
          "1 , 2 , x , 4 , 5 , 6 , 7 , 8", "1 , 2 , 3 , 4 , 5 , 6 , 7.5 , 8", "1\t, 2 , 3 , 4 , 5 , 6 , 7 , 8",
          "1 , 2 , 3 , 4 , 5 , 6 , 7 , 8/", "1 , 2 , 3 , 4 , 5 , 6 , 7 , 8\xB1",
          // Numbers the report never writes, in every column.
          "19-89 , 2 , 3 , 4 , 5 , 6 , 7 , 8", "1 , 24n98 , 3 , 4 , 5 , 6 , 7 , 8", "1 , 2 , 16e , 4 , 5 , 6 , 7 , 8",
          "1 , 2 , 3 , 4 , 5 , 0.012.3 , 7 , 8", "1 , 2 , 3 , +4 , 5 , 6 , 7 , 8", "1 , 2 , 3 , 4 , 5. , 6 , 7 , 8",
          "1 , 2 , 3 , 4 , 5 , 6 , 2147483648 , 8", "1 , 2 , 3 , 4 , 5 , 6 , 7 , -8-",
          "1\r , 2 , 3 , 4 , 5 , 6 , 7 , 8"}) {
        std::vector<std::string> changed = lines;
        changed[9] = bad;
        writeBytes("bad.txt", joinLines(changed));
        Read b = readAll("bad.txt");
        EXPECT_EQ(b.last, ReadResult::error) << bad;
        EXPECT_EQ(b.error.substr(0, 18), "bad.txt, l\xC3\xADnea 10") << bad << ": " << b.error;
    }
}

TEST_F(ReportReaderTest, NamesOfAnyBytesAreReadBack) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    for (std::string name :
         {std::string("A\r\nB\nC"), std::string(" : # Pesos g(i) #"), std::string("x : # Pesos g(i) #\r\ny"),
          std::string("a : # Pesos g(i) #\n1,2"), std::string("\r\n\r\n\n\n"), std::string("z\r"),
          std::string(52, '\n'), bytes.substr(0, 52), bytes.substr(52, 52), bytes.substr(200, 52), std::string()}) {
        auto zone = testkit::makeZone(name, 0);
        Read r = reportOf(*zone);
        ASSERT_EQ(r.last, ReadResult::end) << r.error;
        EXPECT_EQ(r.sections[0].name, name);
        // The lines after the name are counted with the name's line breaks:
        // hour 5's line (its first occurrence) is line 15 of a one-line name.
        std::string text = readBytes("r.txt");
        std::string hour5 = "\r\n22.5 , 25 , 20 , 100 , 0 , 0.0123 , 2 , 1\r\n";
        text.replace(text.find(hour5), hour5.size(), "\r\nx\r\n");
        writeBytes("bad.txt", text);
        Read bad = readAll("bad.txt");
        std::string expected =
            "bad.txt, l\xC3\xADnea " + std::to_string(15 + std::count(name.begin(), name.end(), '\n')) + ":";
        EXPECT_EQ(bad.error.substr(0, expected.size()), expected) << bad.error;
    }
}

// Values written in exponent form, read on the reader's slow path, keep
// their sign.
TEST_F(ReportReaderTest, NegativeExponentFormsStayNegative) {
    auto zone = testkit::makeZone("Z", 0);
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), 0.0f);
    zone->Qs[50] = -8.47033e-22f;
    zone->Qs[60] = -1500.0f;
    zone->Qs[70] = -1e23f;
    Read r = reportOf(*zone);
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    EXPECT_EQ(r.hours[0].qs[50], -8.47033e-22);
    EXPECT_EQ(r.hours[0].qs[70], -1e23);
    EXPECT_EQ(r.hours[1].qs[70], -1e23);  // the totals too
    EXPECT_EQ(r.hours[1].qsNeg[50], -8.47033e-22);
}

// A report whose line ends were made LF alone (by an editor or git) is read
// with the same figures; lines of either end may be mixed.
TEST_F(ReportReaderTest, LineEndsOfLineFeedAloneAreRead) {
    writeMadeUpReport("r.txt");
    Read crlf = readAll("r.txt");
    std::string text = readBytes("r.txt");
    std::string lf;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' && i % 3 != 0)) lf += text[i];
    }
    writeBytes("lf.txt", lf);
    Read r = readAll("lf.txt");
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    ASSERT_EQ(r.sections.size(), crlf.sections.size());
    for (std::size_t i = 0; i < r.sections.size(); ++i) {
        EXPECT_EQ(r.sections[i].name, crlf.sections[i].name);
        EXPECT_EQ(r.hours[i].ql, crlf.hours[i].ql);
        EXPECT_EQ(r.hours[i].treal, crlf.hours[i].treal);
        for (int h = 0; h < kHoursPerYear; ++h) {
            double a = r.hours[i].qs[static_cast<std::size_t>(h)], b = crlf.hours[i].qs[static_cast<std::size_t>(h)];
            EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << i << " " << h;
        }
    }
}

TEST_F(ReportReaderTest, TotalsLinesMustHoldFourNumbers) {
    writeMadeUpReport("r.txt");
    std::vector<std::string> lines = testkit::reportLines(readBytes("r.txt"));
    for (const char* bad : {"0 , , 0 , 0", "0 , 0 , 0 , 0 , 0", " , 0 , 0 , 0", "0 , 0 , 0 , 1e5", "0 ,0 , 0 , 0"}) {
        std::vector<std::string> changed = lines;
        changed[lines.size() - 2] = bad;
        writeBytes("bad.txt", joinLines(changed));
        Read b = readAll("bad.txt");
        EXPECT_EQ(b.last, ReadResult::error) << bad;
        std::string expected = "bad.txt, l\xC3\xADnea " + std::to_string(lines.size() - 1) + ":";
        EXPECT_EQ(b.error.substr(0, expected.size()), expected) << bad << ": " << b.error;
    }
}

}  // namespace
}  // namespace zoneloads
