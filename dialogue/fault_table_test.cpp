// The fault table: the dialogue fed one bad input per row, in process on real
// files in a scratch folder (so the rows run in the Windows build too), each
// row with the console text, exit status and report state it must give. In every row
// every input (zone results file, zone-list file, answers file) is left as it
// was (bytes and modification time), a failed run leaves an existing report
// untouched, and no temporary file is left beside the report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "dialogue/dialogue.h"
#include "testkit/zone_files.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

namespace fs = std::filesystem;
using testkit::readBytes;
using testkit::writeBytes;

constexpr std::size_t kBlock = 10 + kHoursPerYear;  // lines of one zone block
constexpr std::size_t kTotals = 1 + kHoursPerYear;  // lines of the totals section
constexpr int kFail = kExitFailure;
const char* const kPrevious = "the previous report";

enum class Report { untouched, absent, complete };

struct Row {
    const char* name;
    std::function<void()> setup;  // files beyond casa.bin (3 zones) and the previous report.txt
    std::string answers;
    std::string consoleEnd;  // what the console must end with
    int status;
    Report report;
    std::size_t reportLines;  // for a complete report
    std::string reportFile = "report.txt";
};

// gtest prints a row by its name.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

// The row's name as a test name: its words run together, capitalized.
std::string testName(const ::testing::TestParamInfo<Row>& info) {
    std::string name;
    bool upper = true;
    for (char c : std::string(info.param.name)) {
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) {
            upper = true;
            continue;
        }
        name += upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        upper = false;
    }
    return name;
}

std::string zoneBytes() { return readBytes("casa.bin"); }

// casa.bin's record of zone 0 changed by `change`, alone in one.bin.
void oneZone(const std::function<void(ZoneRecord&)>& change) {
    auto zone = testkit::makeZone("Z0", 0);
    change(*zone);
    testkit::writeZoneFile("one.bin", 1, {zone.get()});
}

// NaN, infinity, -0 and a subnormal in turn, hour by hour, in every real
// series, and negated in the g(i) weights.
void fillSpecials(ZoneRecord& z) {
    const float specials[4] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -0.0f,
                               1e-42f};
    for (int h = 0; h < kHoursPerYear; ++h) {
        float v = specials[h % 4];
        z.Treal[h] = z.Tmax[h] = z.Tmin[h] = z.Qs[h] = z.QL[h] = z.VventInf[h] = v;
        z.g[h % 24] = -v;
    }
}

// ASCII answers in UTF-16LE after its byte-order mark, as PowerShell 5 writes them.
std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

const std::string kLong(1000, 'n');
const std::string kLongest(255, 'r');  // the longest name most file systems take
const std::string kSame = "# Error fichero salida coincide con fichero de entrada ";
const std::string kPromptChoice = "Indica numero de la zona ( de 0 a 2) (-1 si desea introducir ua zona):";
const std::string kPromptList = "Indica fichero de zonas [50 caracteres max] :";

std::vector<Row> faultTable() {
    auto none = [] {};
    return {
        // The zone results file.
        {"input missing", none, "missing.bin report.txt 0\n", "# Error al abrir fichero entrada missing.bin\n", kFail,
         Report::untouched, 0},
        {"input empty", [] { writeBytes("in.bin", ""); }, "in.bin report.txt 0\n",
         "# Error al abrir fichero entrada in.bin\n", kFail, Report::untouched, 0},
        {"input 1 byte", [] { writeBytes("in.bin", "\x01"); }, "in.bin report.txt 0\n",
         "# Error al abrir fichero entrada in.bin\n", kFail, Report::untouched, 0},
        {"input 2 bytes", [] { writeBytes("in.bin", std::string("\x05\x00", 2)); }, "in.bin report.txt 0\n",
         "# Error al abrir fichero entrada in.bin\n", kFail, Report::untouched, 0},
        {"input 3 bytes", [] { writeBytes("in.bin", "abc"); }, "in.bin report.txt 0\n",
         "# Error al abrir fichero entrada in.bin\n", kFail, Report::untouched, 0},
        {"negative count", [] { writeBytes("in.bin", std::string("\xFB\xFF\xFF\xFF", 4) + "rest"); },
         "in.bin report.txt 0\n", "# Error al abrir fichero entrada in.bin\n", kFail, Report::untouched, 0},
        {"cut by one byte",
         [] {
             std::string b = zoneBytes();
             writeBytes("in.bin", b.substr(0, b.size() - 1));
         },
         "in.bin report.txt 0\n", "# Error fichero entrada incompleto in.bin\n", kFail, Report::untouched, 0},
        {"cut by one record",
         [] {
             std::string b = zoneBytes();
             writeBytes("in.bin", b.substr(0, b.size() - kZoneRecordBytes));
         },
         "in.bin report.txt 0\n", "# Error fichero entrada incompleto in.bin\n", kFail, Report::untouched, 0},
        {"extra bytes accepted", [] { writeBytes("in.bin", zoneBytes() + "extra"); }, "in.bin report.txt 2\n",
         kPromptChoice, 0, Report::complete, kBlock + kTotals},
        {"zero zones typed", [] { writeBytes("in.bin", std::string(4, '\0')); }, "in.bin report.txt 0\n",
         "a -1) (-1 si desea introducir ua zona):# Error numero de zona fuera de rango 0\n", kFail, Report::untouched,
         0},
        {"zero zones empty list",
         [] {
             writeBytes("in.bin", std::string(4, '\0'));
             writeBytes("l.txt", "");
         },
         "in.bin report.txt -1 l.txt\n", kPromptList, 0, Report::complete, kTotals},
        {"name without NUL", [] { oneZone([](ZoneRecord& z) { std::memset(z.name, 'N', kNameBytes); }); },
         "one.bin report.txt 0\n",
         "[0] Nombre zona: " + std::string(kNameBytes, 'N') +
             "\nIndica numero de la zona ( de 0 a 0) (-1 si desea introducir ua zona):",
         0, Report::complete, kBlock + kTotals},
        {"special values", [] { oneZone(fillSpecials); }, "one.bin report.txt 0\n",
         "(-1 si desea introducir ua zona):", 0, Report::complete, kBlock + kTotals},
        // Zone-list files.
        {"list bad token", [] { writeBytes("l.txt", "1 dos"); }, "casa.bin report.txt -1 l.txt\n",
         kPromptList + "# Error en fichero de zonas l.txt\n", kFail, Report::untouched, 0},
        {"list bad token after -1", [] { writeBytes("l.txt", "0 -1 x"); }, "casa.bin report.txt -1 l.txt\n",
         "# Error en fichero de zonas l.txt\n", kFail, Report::untouched, 0},
        {"list overflowing number", [] { writeBytes("l.txt", "99999999999"); }, "casa.bin report.txt -1 l.txt\n",
         "# Error numero de zona fuera de rango 99999999999\n", kFail, Report::untouched, 0},
        {"list out of range", [] { writeBytes("l.txt", "0 0x3"); }, "casa.bin report.txt -1 l.txt\n",
         "# Error numero de zona fuera de rango 3\n", kFail, Report::untouched, 0},
        {"list octal and hexadecimal", [] { writeBytes("l.txt", "02 0x1 00"); }, "casa.bin report.txt -1 l.txt\n",
         kPromptList, 0, Report::complete, 3 * kBlock + kTotals},
        {"list -1 first", [] { writeBytes("l.txt", "-1 2"); }, "casa.bin report.txt -1 l.txt\n", kPromptList, 0,
         Report::complete, kTotals},
        {"list after -1 unchecked", [] { writeBytes("l.txt", "0 -1 9"); }, "casa.bin report.txt -1 l.txt\n",
         kPromptList, 0, Report::complete, kBlock + kTotals},
        {"list only white space", [] { writeBytes("l.txt", " \t\r\n\n "); }, "casa.bin report.txt -1 l.txt\n",
         kPromptList, 0, Report::complete, kTotals},
        {"list more numbers than zones", [] { writeBytes("l.txt", "0 1 2 0 1 2 junk"); },
         "casa.bin report.txt -1 l.txt\n", kPromptList, 0, Report::complete, 3 * kBlock + kTotals},
        {"list file missing", none, "casa.bin report.txt -1 nolist.txt\n",
         kPromptList + "Error al abrir el fichero nolist.txt\n", kFail, Report::untouched, 0},
        // Typed answers.
        {"typed out of range", none, "casa.bin report.txt 3\n",
         kPromptChoice + "# Error numero de zona fuera de rango 3\n", kFail, Report::untouched, 0},
        {"typed 010 is ten", none, "casa.bin report.txt 010\n", "# Error numero de zona fuera de rango 10\n", kFail,
         Report::untouched, 0},
        {"typed negative asks for a list", [] { writeBytes("l.txt", "1"); }, "casa.bin report.txt -7 l.txt\n",
         kPromptList, 0, Report::complete, kBlock + kTotals},
        {"typed non-numeric", none, "casa.bin report.txt dos\n", kPromptChoice + "# Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"typed number then text", none, "casa.bin report.txt 2abc\n", kPromptChoice + "# Error respuesta no valida\n",
         kFail, Report::untouched, 0},
        {"typed 2,1", none, "casa.bin report.txt 2,1\n", kPromptChoice + "# Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"typed 0x1F", none, "casa.bin report.txt 0x1F\n", kPromptChoice + "# Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"typed 1.5", none, "casa.bin report.txt 1.5\n", kPromptChoice + "# Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"typed 1e2", none, "casa.bin report.txt 1e2\n", kPromptChoice + "# Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"typed +2", none, "casa.bin report.txt +2\n", kPromptChoice, 0, Report::complete, kBlock + kTotals},
        {"typed overflowing", none, "casa.bin report.txt 99999999999\n",
         kPromptChoice + "# Error respuesta no valida\n", kFail, Report::untouched, 0},
        // The console ending early.
        {"console ends at input name", none, "", "Nombre fichero entrada: # Error respuesta no valida\n", kFail,
         Report::untouched, 0},
        {"console ends at report name", none, "casa.bin\n", "Nombre fichero salida: # Error respuesta no valida\n",
         kFail, Report::untouched, 0},
        {"console ends at zone number", none, "casa.bin report.txt\n", kPromptChoice + "# Error respuesta no valida\n",
         kFail, Report::untouched, 0},
        {"console ends at list name", none, "casa.bin report.txt -1\n", kPromptList + "# Error respuesta no valida\n",
         kFail, Report::untouched, 0},
        // File names and report paths.
        {"1000-character input name", none, kLong + " report.txt 0\n",
         "# Error al abrir fichero entrada " + kLong + "\n", kFail, Report::untouched, 0},
        {"1000-character report name", none, "casa.bin " + kLong + " 0\n",
         "# Error al abrir fichero salida " + kLong + "\n", kFail, Report::absent, 0, kLong},
        {"255-byte report name", none, "casa.bin " + kLongest + " 0\n", kPromptChoice, 0, Report::complete,
         kBlock + kTotals, kLongest},
        {"243-byte report name", none, "casa.bin " + kLongest.substr(0, 243) + " 0\n", kPromptChoice, 0,
         Report::complete, kBlock + kTotals, kLongest.substr(0, 243)},
        {"report in a missing folder", none, "casa.bin nowhere/r.txt 0\n",
         "# Error al abrir fichero salida nowhere/r.txt\n", kFail, Report::absent, 0, "nowhere/r.txt"},
        {"report is a folder", [] { fs::create_directory("folder"); }, "casa.bin folder 0\n",
         "# Error al abrir fichero salida folder\n", kFail, Report::absent, 0, "folder/none"},
#ifndef _WIN32
        {"report on a full disk", none, "casa.bin /dev/full 0\n", "# Error al escribir fichero salida /dev/full\n",
         kFail, Report::absent, 0, "full-disk-none"},
#endif
        // The report must never be a file that the run reads.
        {"report is the input", none, "casa.bin casa.bin 1\n", kSame + "casa.bin\n", kFail, Report::untouched, 0},
        {"report is the input spelt ./", none, "casa.bin ./casa.bin 1\n", kSame + "./casa.bin\n", kFail,
         Report::untouched, 0},
        {"report is the input through ..", [] { fs::create_directory("sub"); }, "casa.bin sub/../casa.bin 1\n",
         kSame + "sub/../casa.bin\n", kFail, Report::untouched, 0},
        {"report is a hard link of the input", [] { fs::create_hard_link("casa.bin", "hard.bin"); },
         "casa.bin hard.bin 1\n", kSame + "hard.bin\n", kFail, Report::untouched, 0},
        {"report is the list file", [] { writeBytes("l.txt", "1"); }, "casa.bin l.txt -1 l.txt\n",
         kPromptList + kSame + "l.txt\n", kFail, Report::untouched, 0},
        {"report is the answers file", none, "casa.bin answers.txt 0\n", kSame + "answers.txt\n", kFail,
         Report::untouched, 0},
        {"a folder as list file", [] { fs::create_directory("folder"); }, "casa.bin report.txt -1 folder\n",
         kPromptList + "Error al abrir el fichero folder\n", kFail, Report::untouched, 0},
        // Text written by Windows tools.
        {"UTF-8 mark before the answers", none,
         "\xEF\xBB\xBF"
         "casa.bin report.txt 2\n",
         kPromptChoice, 0, Report::complete, kBlock + kTotals},
        {"UTF-8 marked list",
         [] {
             writeBytes("l.txt",
                        "\xEF\xBB\xBF"
                        "2 0\r\n");
         },
         "casa.bin report.txt -1 l.txt\n", kPromptList, 0, Report::complete, 2 * kBlock + kTotals},
        {"UTF-16LE list",
         [] {
             writeBytes("l.txt", std::string("\xFF\xFE"
                                             "2\0 \0"
                                             "0\0\r\0\n\0",
                                             12));
         },
         "casa.bin report.txt -1 l.txt\n", kPromptList, 0, Report::complete, 2 * kBlock + kTotals},
        {"UTF-16LE list with a non-ASCII character",
         [] {
             writeBytes("l.txt", std::string("\xFF\xFE"
                                             "1\0\xE1\0",
                                             6));
         },
         "casa.bin report.txt -1 l.txt\n", kPromptList + "# Error en fichero de zonas l.txt\n", kFail,
         Report::untouched, 0},
        {"UTF-16LE answers", none, utf16le("casa.bin\r\nreport.txt\r\n2\r\n"), kPromptChoice, 0, Report::complete,
         kBlock + kTotals},
        {"UTF-16LE answers cut by a byte", none, utf16le("casa.bin\r\nreport.txt\r\n") + "2",
         kPromptChoice + "# Error respuesta no valida\n", kFail, Report::untouched, 0},
        // Quoted names, as Explorer's "Copy as path" gives them.
        {"quoted names with blanks", [] { fs::copy_file("casa.bin", "mi casa.bin"); },
         "\"mi casa.bin\"\r\n\"mi informe.txt\"\r\n2\r\n", kPromptChoice, 0, Report::complete, kBlock + kTotals,
         "mi informe.txt"},
        {"quote never closed", none, "casa.bin\n\"report.txt 2\n",
         "Nombre fichero salida: # Error respuesta no valida\n", kFail, Report::untouched, 0},
        {"NUL byte in a name", none, std::string("casa.bin rep\0ort.txt 0\n", 23),
         "Nombre fichero salida: # Error respuesta no valida\n", kFail, Report::untouched, 0},
#ifndef _WIN32
        {"report is a symbolic link to the input", [] { fs::create_symlink("casa.bin", "link.bin"); },
         "casa.bin link.bin 1\n", kSame + "link.bin\n", kFail, Report::untouched, 0},
#else
        {"report is the input in another case", none, "casa.bin CASA.BIN 1\n", kSame + "CASA.BIN\n", kFail,
         Report::untouched, 0},
#endif
    };
}

class FaultTable : public testkit::ScratchDir, public ::testing::WithParamInterface<Row> {};

// The answers come from answers.txt, as when they are piped from that file.
bool readsAnswersFile(const std::filesystem::path& path) {
    std::error_code error;
    return fs::equivalent(path, "answers.txt", error);
}

TEST_P(FaultTable, GivesItsMessageStatusAndReport) {
    const Row& row = GetParam();
    testkit::writeSampleZoneFile("casa.bin", 3);
    row.setup();
    writeBytes("report.txt", kPrevious);
    writeBytes("answers.txt", row.answers);
    testkit::FolderState before = testkit::snapshotFolder("report.txt");

    std::istringstream in(row.answers);
    std::ostringstream console;
    EXPECT_EQ(runDialogue(in, console, readsAnswersFile), row.status);
    std::string output = console.str();
    ASSERT_GE(output.size(), row.consoleEnd.size()) << output;
    EXPECT_EQ(output.substr(output.size() - row.consoleEnd.size()), row.consoleEnd);

    testkit::expectFolderKept(before, row.reportFile);
    switch (row.report) {
        case Report::untouched: EXPECT_EQ(readBytes("report.txt"), kPrevious); break;
        case Report::absent:
            EXPECT_FALSE(testkit::fileExists(row.reportFile));
            EXPECT_EQ(readBytes("report.txt"), kPrevious);
            break;
        case Report::complete:
            EXPECT_EQ(testkit::reportLines(readBytes(row.reportFile)).size(), row.reportLines);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultTable, ::testing::ValuesIn(faultTable()), testName);

TEST(FaultTableNames, AreUnique) {
    std::set<std::string> names;
    for (const Row& row : faultTable()) EXPECT_TRUE(names.insert(row.name).second) << row.name;
}

class SpecialValues : public testkit::ScratchDir {};

TEST_F(SpecialValues, AreWrittenInEverySeries) {
    oneZone(fillSpecials);
    std::istringstream in("one.bin r.txt 0\n");
    std::ostringstream console;
    ASSERT_EQ(runDialogue(in, console), kExitSuccess);
    std::vector<std::string> lines = testkit::reportLines(readBytes("r.txt"));
    ASSERT_EQ(lines.size(), kBlock + kTotals);
    EXPECT_EQ(lines[3].substr(0, 24), "-nan,-inf,0,-1.00053e-42");
    EXPECT_EQ(lines[9], "nan , nan , nan , nan , nan , nan , 0 , 0");
    EXPECT_EQ(lines[10], "inf , inf , inf , inf , inf , inf , 1 , 1");
    EXPECT_EQ(lines[11], "-0 , -0 , -0 , -0 , -0 , -0 , 2 , 0");
    EXPECT_EQ(lines[12], "1.00053e-42 , 1.00053e-42 , 1.00053e-42 , 1.00053e-42 , 1.00053e-42 , 1.00053e-42 , 0 , 1");
    // The last hour is subnormal: above 0, so it is the last qsMax, and the
    // NaNs left qsMin... replaced again by every later value.
    EXPECT_EQ(lines[kBlock - 1], "inf , -0");
    // Totals: NaN goes into the non-positive part, inf into the positive one.
    EXPECT_EQ(lines[kBlock + 1], "nan , nan , nan , 0");
    EXPECT_EQ(lines[kBlock + 2], "inf , inf , 0 , inf");
    EXPECT_EQ(lines[kBlock + 3], "0 , 0 , 0 , 0");  // 0 + -0 is 0
}

}  // namespace
}  // namespace zoneloads
