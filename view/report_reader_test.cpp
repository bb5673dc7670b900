#include "view/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/report.h"
#include "testkit/zone_files.h"
#include "view/statistics.h"
#include "view/summary_table.h"

namespace zoneloads {
namespace view {
namespace {

using testkit::readBytes;
using testkit::writeBytes;

const char* const kOddName = "<script>&\"\xE1\xBA";

// Zone A: Qs 0 but for 500 at hours 100 and 200, -250.5 at 300 and 1000.25
// at 5000; QL 10. Zone B: no positive hour, Qs -1 but NaN in hours 0 to 9;
// QL 2. The report holds A, B, A.
void writeMadeUpReport(const std::string& path) {
    auto a = testkit::makeZone(kOddName, 0);
    auto b = testkit::makeZone("B", 0);
    for (int h = 0; h < kHoursPerYear; ++h) {
        a->Qs[h] = 0;
        a->QL[h] = 10;
        b->Qs[h] = h < 10 ? std::numeric_limits<float>::quiet_NaN() : -1.0f;
        b->QL[h] = 2;
    }
    a->Qs[100] = a->Qs[200] = 500;
    a->Qs[300] = -250.5f;
    a->Qs[5000] = 1000.25f;
    testkit::writeZoneFile("zones.bin", 2, {a.get(), b.get()});
    ZoneSelection selection{{0, 1, 0}, ""};
    std::string error;
    ASSERT_TRUE(writeReport("zones.bin", path, selection, error)) << error;
}

struct Read {
    std::vector<Section> sections;
    std::vector<SectionFigures> figures;
    std::string error;
    ReadResult last;
};

Read readAll(const std::string& path) {
    Read r;
    ReportReader reader;
    if (!openReportFile(reader, path, r.error)) {
        r.last = ReadResult::error;
        return r;
    }
    Section s;
    while ((r.last = readSection(reader, s, r.error)) == ReadResult::section) {
        SectionFigures f;
        if (!readFigures(path, s, f, r.error)) {
            r.last = ReadResult::error;
            break;
        }
        r.sections.push_back(s);
        r.figures.push_back(f);
    }
    closeReportFile(reader);
    return r;
}

// A section's row of the summary table as the script CSV's first twelve
// fields (the block, its peaks with their hours, its sums and counts).
std::vector<std::string> rowOf(const std::string& report, const Section& section, const SectionFigures& figures) {
    std::vector<std::string> fields = csvFields(summaryRow(report, section.name, section.block, figures.summary));
    fields.resize(12);
    return fields;
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
    EXPECT_TRUE(writeReport("zones.bin", "r.txt", selection, error)) << error;
    return readAll("r.txt");
}

class ReportReaderTest : public testkit::ScratchDir {};

TEST_F(ReportReaderTest, SummaryOfEveryBlockAndOfTheTotals) {
    writeMadeUpReport("r.txt");
    Read r = readAll("r.txt");
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    ASSERT_EQ(r.sections.size(), 4u);

    std::vector<std::vector<std::string>> expected = {
        {"r.txt", "1", kOddName, "1000.25", "5000", "-250.5", "300", "2.00025", "-0.2505", "87.6", "3", "1"},
        {"r.txt", "2", "B", "0", "", "-1", "10", "0", "-8.75", "17.5", "0", "8750"},
        {"r.txt", "3", kOddName, "1000.25", "5000", "-250.5", "300", "2.00025", "-0.2505", "87.6", "3", "1"},
        {"r.txt", "TOTAL", "", "1999.5", "5000", "-502", "300", "4.0005", "-9.251", "192.5", "3", "8747"},
    };
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(rowOf("r.txt", r.sections[i], r.figures[i]), expected[i]) << i;
    EXPECT_EQ(r.figures[1].summary.nanHours, 10);
    EXPECT_EQ(r.figures[3].summary.nanHours, 10);
    EXPECT_TRUE(r.sections[3].totals);
    // The first of two equal peaks is the one kept.
    EXPECT_EQ(r.figures[0].summary.monthPosWh[0], 1000.0);  // hours 100 and 200 are in January
}

TEST_F(ReportReaderTest, MalformedReportsNameTheirLine) {
    writeMadeUpReport("r.txt");
    std::string good = readBytes("r.txt");
    std::vector<std::string> lines = testkit::reportLines(good);
    std::vector<std::string> fieldTooFew = lines;
    fieldTooFew[20] = fieldTooFew[20].substr(0, fieldTooFew[20].rfind(" , "));
    std::vector<std::string> totalsCut(lines.begin(), lines.end() - 100);
    std::vector<std::string> blockCut(lines.begin(), lines.begin() + 5000);
    struct Case {
        std::string text;
        std::string messageStart;
    } cases[] = {
        {joinLines(fieldTooFew), "f.txt, linea 21: "},
        {joinLines(blockCut), "f.txt, linea 5001: el informe termina antes de tiempo"},
        {joinLines(totalsCut),
         "f.txt, linea " + std::to_string(lines.size() - 99) + ": el informe termina antes de tiempo"},
        {good.substr(0, good.size() - 1),
         "f.txt, linea " + std::to_string(lines.size()) + ": el informe termina a mitad"},
        {good + "more\r\n", "f.txt, linea " + std::to_string(lines.size() + 1) + ": texto tras el final"},
        {"hola\r\n", "f.txt, linea 1: no es un informe"},
        {"", "f.txt, linea 1: el fichero esta vacio"},
    };
    for (const Case& c : cases) {
        writeBytes("f.txt", c.text);
        Read r = readAll("f.txt");
        EXPECT_EQ(r.last, ReadResult::error);
        EXPECT_EQ(r.error.substr(0, c.messageStart.size()), c.messageStart) << r.error;
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
    EXPECT_TRUE(std::isnan(r.figures[0].qs[0]));
    EXPECT_EQ(r.figures[0].qs[1], -HUGE_VAL);
    EXPECT_EQ(r.figures[0].qs[4], 1.5e6);
    EXPECT_EQ(r.figures[0].qs[5], -0.000123457);
    EXPECT_EQ(r.figures[0].summary.minNegText, "-inf");
    EXPECT_EQ(r.figures[0].summary.maxPosText, "1.5e+06");

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
        EXPECT_EQ(b.error.substr(0, 17), "bad.txt, linea 10") << bad << ": " << b.error;
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
            "bad.txt, linea " + std::to_string(15 + std::count(name.begin(), name.end(), '\n')) + ":";
        EXPECT_EQ(bad.error.substr(0, expected.size()), expected) << bad.error;
    }
}

// A zone whose only cooling is rounding noise written in exponent form: a
// negative value read on the slow path keeps its sign.
TEST_F(ReportReaderTest, NegativeExponentFormsStayNegative) {
    auto zone = testkit::makeZone("Z", 0);
    std::fill(std::begin(zone->Qs), std::end(zone->Qs), 0.0f);
    std::fill(std::begin(zone->QL), std::end(zone->QL), 0.0f);
    zone->Qs[50] = -8.47033e-22f;
    zone->Qs[60] = -1500.0f;
    zone->Qs[70] = -1e23f;
    Read r = reportOf(*zone);
    ASSERT_EQ(r.last, ReadResult::end) << r.error;
    EXPECT_EQ(rowOf("r.txt", r.sections[0], r.figures[0]),
              (std::vector<std::string>{"r.txt", "1", "Z", "0", "", "-1e+23", "70", "0", "-1e+20", "0", "0", "3"}));
    EXPECT_LT(r.figures[0].qs[50], 0);
    EXPECT_EQ(r.figures[1].summary.hoursPos, 0);  // the totals too
    EXPECT_EQ(r.figures[1].summary.hoursNeg, 3);
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
        EXPECT_EQ(rowOf("x", r.sections[i], r.figures[i]), rowOf("x", crlf.sections[i], crlf.figures[i]));
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
        std::string expected = "bad.txt, linea " + std::to_string(lines.size() - 1) + ":";
        EXPECT_EQ(b.error.substr(0, expected.size()), expected) << bad << ": " << b.error;
    }
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
