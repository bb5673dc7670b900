#include "dialogue/dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

#include "common/platform.h"
#include "common/text_encoding.h"
#include "dialogue/console.h"
#include "dialogue/select_zones.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::fileExists;
using testkit::readBytes;
using testkit::writeBytes;

struct Console {
    int status;
    std::string console;
};

Console run(const std::string& answers) {
    std::istringstream in(answers);
    std::ostringstream out;
    int status = runDialogue(in, out);
    return {status, out.str()};
}

const char* const kHeadOfCasa =
    "Nombre fichero entrada: Fichero entrada = casa.bin\n"
    "Nombre fichero salida: Fichero salida = casa.txt\n";

const char* const kListingOfCasa =
    "n\xBA zonas SOVRA: 3\n"
    "[0] Nombre zona: Z0\n"
    "[1] Nombre zona: Z1\n"
    "[2] Nombre zona: Z2\n"
    "Indica numero de la zona ( de 0 a 2) (-1 si desea introducir ua zona):";

const char* const kListPrompt = "Indica fichero de zonas [50 caracteres max] :";

class DialogueTest : public testkit::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        testkit::writeSampleZoneFile("casa.bin", 3);
    }
    // The console of a run on casa.bin up to the zone-number prompt.
    static std::string upToChoice() { return std::string(kHeadOfCasa) + kListingOfCasa; }
};

TEST_F(DialogueTest, TypicalRunShowsTheWholeDialogue) {
    Console r = run("casa.bin\ncasa.txt\n1\n");
    EXPECT_EQ(r.status, kExitSuccess);
    EXPECT_EQ(r.console, upToChoice());
    std::vector<std::string> lines = testkit::reportLines(readBytes("casa.txt"));
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[2], "# Nombre zona: Z1 : # Pesos g(i) #");
}

TEST_F(DialogueTest, FileNamesAreSingleWords) {
    // "mi casa.bin": mi is the input file, casa.bin answers the next prompt.
    Console r = run("mi casa.bin\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console,
              "Nombre fichero entrada: Fichero entrada = mi\n"
              "Nombre fichero salida: Fichero salida = casa.bin\n"
              "# Error al abrir fichero entrada mi\n");
    EXPECT_FALSE(fileExists("casa.bin.txt"));
}

TEST_F(DialogueTest, UnusableInputFilesEndTheRunBeforeAnyReport) {
    writeBytes("empty.bin", "");
    writeBytes("short.bin", "ab");
    writeBytes("negative.bin", std::string("\xFF\xFF\xFF\xFF", 4));
    for (const char* name : {"missing.bin", "empty.bin", "short.bin", "negative.bin"}) {
        Console r = run(std::string(name) + " out.txt 0\n");
        EXPECT_EQ(r.status, kExitFailure);
        std::string expected = std::string("Nombre fichero entrada: Fichero entrada = ") + name +
                               "\nNombre fichero salida: Fichero salida = out.txt\n"
                               "# Error al abrir fichero entrada " +
                               name + "\n";
        EXPECT_EQ(r.console, expected);
        EXPECT_FALSE(fileExists("out.txt"));
    }
}

TEST_F(DialogueTest, FileCutShortIsRejectedWhereTheCountWouldStand) {
    std::string bytes = readBytes("casa.bin");
    writeBytes("cut.bin", bytes.substr(0, bytes.size() - 1));
    writeBytes("out.txt", "keep me");
    Console r = run("cut.bin out.txt 0\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console,
              "Nombre fichero entrada: Fichero entrada = cut.bin\n"
              "Nombre fichero salida: Fichero salida = out.txt\n"
              "# Error fichero entrada incompleto cut.bin\n");
    EXPECT_EQ(readBytes("out.txt"), "keep me");

    writeBytes("extra.bin", bytes + "tail");
    EXPECT_EQ(run("extra.bin out.txt 0\n").status, kExitSuccess);
}

TEST_F(DialogueTest, ZeroZones) {
    writeBytes("none.bin", std::string(4, '\0'));
    const std::string head =
        "Nombre fichero entrada: Fichero entrada = none.bin\n"
        "Nombre fichero salida: Fichero salida = r.txt\n"
        "n\xBA zonas SOVRA: 0\n"
        "Indica numero de la zona ( de 0 a -1) (-1 si desea introducir ua zona):";
    Console typed = run("none.bin r.txt 0\n");
    EXPECT_EQ(typed.status, kExitFailure);
    EXPECT_EQ(typed.console, head + "# Error numero de zona fuera de rango 0\n");
    EXPECT_FALSE(fileExists("r.txt"));

    // A zone-list file is opened, but nothing in it has a slot.
    writeBytes("list.txt", "0 1 2 garbage");
    Console listed = run("none.bin r.txt -1 list.txt\n");
    EXPECT_EQ(listed.status, kExitSuccess);
    EXPECT_EQ(listed.console, head + kListPrompt);
    std::vector<std::string> lines = testkit::reportLines(readBytes("r.txt"));
    EXPECT_EQ(lines.size(), 1u + kHoursPerYear);

    EXPECT_EQ(run("none.bin r.txt -1 nolist.txt\n").console,
              head + kListPrompt + "Error al abrir el fichero nolist.txt\n");
}

TEST_F(DialogueTest, TypedZoneNumbers) {
    // One whole decimal word: 010 is ten, +2 is two.
    EXPECT_EQ(run("casa.bin casa.txt +2\n").status, kExitSuccess);
    EXPECT_EQ(run("casa.bin casa.txt 010\n").console, upToChoice() + "# Error numero de zona fuera de rango 10\n");
    EXPECT_EQ(run("casa.bin casa.txt 3\n").console, upToChoice() + "# Error numero de zona fuera de rango 3\n");
    for (const char* answer :
         {"abc", "2147483648", "-2147483649", "", "  \n", "2abc", "2,1", "0x1F", "1.5", "1e2", "-", "+", "1\x80"}) {
        std::remove("casa.txt");
        Console r = run(std::string("casa.bin casa.txt ") + answer);
        EXPECT_EQ(r.status, kExitFailure) << answer;
        EXPECT_EQ(r.console, upToChoice() + "# Error respuesta no valida\n") << answer;
        EXPECT_FALSE(fileExists("casa.txt"));
    }
}

TEST_F(DialogueTest, ConsoleEndingBeforeAnAnswer) {
    EXPECT_EQ(run("").console, "Nombre fichero entrada: # Error respuesta no valida\n");
    EXPECT_EQ(run("casa.bin").console,
              "Nombre fichero entrada: Fichero entrada = casa.bin\n"
              "Nombre fichero salida: # Error respuesta no valida\n");
    Console r = run("casa.bin casa.txt -1\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console, upToChoice() + kListPrompt + "# Error respuesta no valida\n");
    EXPECT_FALSE(fileExists("casa.txt"));
}

TEST_F(DialogueTest, ZoneListFiles) {
    writeBytes("ok.txt", "2 0x1 010");  // 010 is octal 8: beyond the three zones
    EXPECT_EQ(run("casa.bin casa.txt -1 ok.txt\n").status, kExitFailure);
    writeBytes("ok.txt", "2 0x1 00");
    Console ok = run("casa.bin casa.txt -5 ok.txt\n");
    EXPECT_EQ(ok.status, kExitSuccess);
    EXPECT_EQ(ok.console, upToChoice() + kListPrompt);

    writeBytes("bad.txt", "1 dos");
    EXPECT_EQ(run("casa.bin r.txt -1 bad.txt\n").console,
              upToChoice().replace(upToChoice().find("casa.txt"), 8, "r.txt") + kListPrompt +
                  "# Error en fichero de zonas bad.txt\n");
    EXPECT_FALSE(fileExists("r.txt"));

    writeBytes("far.txt", "1 0x7");
    Console far = run("casa.bin casa.txt -1 far.txt\n");
    EXPECT_EQ(far.status, kExitFailure);
    EXPECT_EQ(far.console, upToChoice() + kListPrompt + "# Error numero de zona fuera de rango 7\n");

    Console missing = run("casa.bin casa.txt -1 nolist.txt\n");
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_EQ(missing.console, upToChoice() + kListPrompt + "Error al abrir el fichero nolist.txt\n");
}

TEST_F(DialogueTest, NameWithoutNulIsListedAsItsFiftyTwoBytes) {
    auto zone = testkit::makeZone("", 0);
    std::memset(zone->name, 'N', kNameBytes);
    zone->zoneValueA = 1.0f;  // the bytes after the name must not show
    testkit::writeZoneFile("full-name.bin", 1, {zone.get()});
    Console r = run("full-name.bin r.txt 0\n");
    EXPECT_NE(r.console.find("[0] Nombre zona: " + std::string(kNameBytes, 'N') + "\n"), std::string::npos);
    EXPECT_EQ(testkit::reportLines(readBytes("r.txt"))[2],
              "# Nombre zona: " + std::string(kNameBytes, 'N') + " : # Pesos g(i) #");
}

TEST_F(DialogueTest, LongFileNamesAreTakenWhole) {
    std::string longName(1000, 'a');
    Console r = run(longName + " " + longName + "\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console, "Nombre fichero entrada: Fichero entrada = " + longName +
                             "\nNombre fichero salida: Fichero salida = " + longName +
                             "\n# Error al abrir fichero entrada " + longName + "\n");
}

TEST_F(DialogueTest, ReportThatCannotBeCreated) {
    Console r = run("casa.bin no-such-folder/r.txt 0\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console.substr(r.console.rfind(':') + 1), "# Error al abrir fichero salida no-such-folder/r.txt\n");
}

// The count is taken again from the file opened for the run, as it stands
// then: a file rewritten since its listing says so.
TEST_F(DialogueTest, SelectionTakesTheCountAfresh) {
    std::ostringstream out;
    ZoneSelection selection;
    std::string bytes = readBytes("casa.bin");
    ZoneFile zones = testkit::openZones("casa.bin");
    std::istringstream in("0\n");
    Answers answers;
    answers.in = &in;
    writeBytes("casa.bin", std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_FALSE(selectZones(answers, out, zones, "casa.bin", selection));
    EXPECT_EQ(out.str(), "# Error al abrir fichero entrada casa.bin\n");

    writeBytes("casa.bin", bytes.substr(0, bytes.size() - 285896));
    out.str("");
    EXPECT_FALSE(selectZones(answers, out, zones, "casa.bin", selection));
    EXPECT_EQ(out.str(), "# Error fichero entrada incompleto casa.bin\n");
}

}  // namespace
}  // namespace zoneloads

namespace zoneloads {
namespace {

class SafetyTest : public DialogueTest {
protected:
    void SetUp() override {
        DialogueTest::SetUp();
        casa = readBytes("casa.bin");
    }
    static std::string upToListPrompt() { return upToChoice() + kListPrompt; }
    std::string casa;
};

TEST_F(SafetyTest, ReportNamingAnInputFileIsRefused) {
    namespace fs = std::filesystem;
    fs::create_directory("sub");
    fs::create_hard_link("casa.bin", "hard.bin");
    std::vector<std::string> names = {"casa.bin", "./casa.bin", "sub/../casa.bin", "hard.bin"};
#ifndef _WIN32
    fs::create_symlink("casa.bin", "link.bin");
    names.push_back("link.bin");
#else
    names.push_back("CASA.BIN");
#endif
    for (const std::string& name : names) {
        Console r = run("casa.bin " + name + " 1\n");
        EXPECT_EQ(r.status, kExitFailure) << name;
        EXPECT_EQ(r.console.substr(r.console.rfind(':') + 1),
                  "# Error fichero salida coincide con fichero de entrada " + name + "\n");
        EXPECT_EQ(readBytes("casa.bin"), casa) << name;
    }
    writeBytes("list.txt", "0 1");
    Console r = run("casa.bin ./list.txt -1 list.txt\n");
    EXPECT_EQ(r.console.substr(r.console.rfind(':') + 1),
              "# Error fichero salida coincide con fichero de entrada ./list.txt\n");
    EXPECT_EQ(readBytes("list.txt"), "0 1");
}

TEST_F(SafetyTest, ReportNamingTheAnswersIsRefused) {
    writeBytes("answers.txt", "");
    std::istringstream in("casa.bin answers.txt 0\n");
    std::ostringstream out;
    auto isAnswers = [](const std::filesystem::path& path) { return path == "answers.txt"; };
    EXPECT_EQ(runDialogue(in, out, isAnswers), kExitFailure);
    EXPECT_EQ(out.str().substr(out.str().rfind(':') + 1),
              "# Error fichero salida coincide con fichero de entrada answers.txt\n");
    EXPECT_FALSE(fileExists("answers.txt.tmp"));
}

TEST_F(SafetyTest, WindowsTextIsReadAsItsCharacters) {
    // A UTF-8 mark before the answers, alone or before the first name.
    EXPECT_EQ(run("\xEF\xBB\xBF"
                  "casa.bin casa.txt 0\n")
                  .status,
              kExitSuccess);
    EXPECT_EQ(run("\xEF\xBB\xBF\r\ncasa.bin casa.txt 0\n").status, kExitSuccess);
    // ... but only at the very start.
    EXPECT_EQ(run(" \xEF\xBB\xBF"
                  "casa.bin casa.txt 0\n")
                  .status,
              kExitFailure);

    writeBytes("utf8.txt",
               "\xEF\xBB\xBF"
               "2 0");
    EXPECT_EQ(run("casa.bin casa.txt -1 utf8.txt\n").status, kExitSuccess);
    std::string utf8Report = readBytes("casa.txt");
    writeBytes("utf16.txt", std::string("\xFF\xFE"
                                        "2\0 \0"
                                        "0\0\r\0\n\0",
                                        12));
    EXPECT_EQ(run("casa.bin casa.txt -1 utf16.txt\n").status, kExitSuccess);
    EXPECT_EQ(readBytes("casa.txt"), utf8Report);

    // Spanning several blocks of the file.
    std::string spaces;
    for (int i = 0; i < 3000; ++i) spaces += std::string(" \0", 2);
    writeBytes("long16.txt", "\xFF\xFE" + spaces +
                                 std::string("2\0 \0"
                                             "0\0",
                                             6));
    EXPECT_EQ(run("casa.bin casa.txt -1 long16.txt\n").status, kExitSuccess);
    EXPECT_EQ(readBytes("casa.txt"), utf8Report);

    // A character beyond ASCII, or a byte cut off the last one, is a bad token.
    for (const std::string& list : {std::string("\xFF\xFE"
                                                "1\0\xE1\0",
                                                6),
                                    std::string("\xFF\xFE"
                                                "1\0 \0"
                                                "2",
                                                7)}) {
        writeBytes("bad16.txt", list);
        EXPECT_EQ(run("casa.bin casa.txt -1 bad16.txt\n").console.substr(upToListPrompt().size()),
                  "# Error en fichero de zonas bad16.txt\n");
    }
}

TEST_F(SafetyTest, ListThatCannotBeReadIsAnError) {
    std::filesystem::create_directory("folder");
    writeBytes("casa.txt", "old");
    Console r = run("casa.bin casa.txt -1 folder\n");
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console.substr(upToListPrompt().size()), "Error al abrir el fichero folder\n");
    EXPECT_EQ(readBytes("casa.txt"), "old");
}

TEST_F(SafetyTest, NameWithANulByteIsNoAnswer) {
    const char answers[] = "casa.bin\ncasa\0.txt\n0\n";
    Console r = run(std::string(answers, sizeof answers - 1));
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.console.substr(r.console.rfind(':') + 1), " # Error respuesta no valida\n");
    EXPECT_FALSE(fileExists("casa"));
}

}  // namespace
}  // namespace zoneloads

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

// Answers in UTF-16 after its byte-order mark, as Windows PowerShell 5's ">"
// writes them (little-endian).
std::string utf16Answers(const std::string& utf8, bool little = true) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : utf16FromUtf8(utf8)) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

// A folder and a building beyond ASCII with blanks, as pasted from Explorer.
const std::string kFolder = "C\xC3\xA1lculos 2024";
const std::string kBuilding = kFolder + "/A\xC3\xB1o 2024.bin";

class QuotedAndUtf16Test : public DialogueTest {
protected:
    void SetUp() override {
        DialogueTest::SetUp();
        fs::create_directory(pathFromBytes(kFolder));
        fs::copy_file("casa.bin", pathFromBytes(kBuilding));
        ASSERT_EQ(run("casa.bin zona1.txt 1\n").status, kExitSuccess);
        expected = readBytes("zona1.txt");
    }
    // Whether the file named by the dialogue's bytes `name` holds the report of zone 1.
    bool holdsZone1(const std::string& name) {
        std::error_code error;
        fs::remove("named-copy", error);
        fs::copy_file(pathFromBytes(name), "named-copy", error);
        return !error && readBytes("named-copy") == expected;
    }
    std::string expected;
};

TEST_F(QuotedAndUtf16Test, QuotedNamesAsBytesAndInUtf16) {
    // The report's name: blanks, an accent, the euro sign and an emoji.
    const std::string report = kFolder + "/Informe a\xC3\xB1o \xE2\x82\xAC \xF0\x9F\x98\x80.txt";
    const std::string answers = "\"" + kBuilding + "\"\r\n\"" + report + "\"\r\n1\r\n";
    for (const std::string& given : {answers, utf16Answers(answers), utf16Answers(answers, false)}) {
        Console r = run(given);
        EXPECT_EQ(r.status, kExitSuccess);
        EXPECT_EQ(r.console.substr(0, r.console.find("n\xBA")),
                  "Nombre fichero entrada: Fichero entrada = " + kBuilding +
                      "\nNombre fichero salida: Fichero salida = " + report + "\n");
        EXPECT_TRUE(holdsZone1(report));
        fs::remove(pathFromBytes(report));
    }
    // A quoted zone number is the number; a quoted list name may hold blanks.
    writeBytes("mis zonas.txt", "1");
    EXPECT_EQ(run("casa.bin \"mi informe.txt\" \"-1\" \"mis zonas.txt\"").status, kExitSuccess);
    EXPECT_TRUE(holdsZone1("mi informe.txt"));
}

TEST_F(QuotedAndUtf16Test, OpenQuotesAndBrokenUtf16AreNoAnswer) {
    const std::string whole = utf16Answers("casa.bin\r\ncasa.txt\r\n1");
    const std::string head = utf16Answers("casa.bin\r\nca");
    const std::string tail = utf16Answers("sa.txt 1\r\n").substr(2);
    const std::pair<std::string, const char*> cases[] = {
        {"\"casa.bin\ncasa.txt\" 1\n", "entrada: "},  // the line ends before the quote closes
        {"casa.bin \"casa.txt", "salida: "},          // the input ends before it
        {"\"casa.bin\"x casa.txt 1\n", "entrada: "},  // more after the closing quote
        {"\"\" casa.txt 1\n", "entrada: "},
        {"casa.bin casa.txt \" 1\"\n", "zona):"},
        {whole + std::string(1, '\0'), "zona):"},                 // an odd byte right after "1"
        {head + std::string("\x3D\xD8", 2) + tail, "salida: "},   // U+D83D without its pair
        {head + std::string("\x00\xDC", 2) + tail, "salida: "}};  // U+DC00 alone
    for (const auto& [answers, prompt] : cases) {
        Console r = run(answers);
        std::string end = std::string(prompt) + "# Error respuesta no valida\n";
        EXPECT_EQ(r.status, kExitFailure);
        EXPECT_EQ(r.console.substr(r.console.size() - std::min(r.console.size(), end.size())), end) << answers;
        EXPECT_FALSE(fileExists("casa.txt"));
    }
    // Bytes past the last answer are never read, as with byte answers.
    EXPECT_EQ(run(whole + std::string("\r\0\n\0\0", 5)).status, kExitSuccess);
}

TEST_F(QuotedAndUtf16Test, CtrlZEndsByteAnswersWhereAsked) {
    auto status = [](const std::string& answers, bool endAtCtrlZ) {
        std::istringstream in(answers);
        std::ostringstream out;
        return runDialogue(in, out, nullptr, endAtCtrlZ);
    };
    const std::string zoneThenCtrlZ = std::string("casa.bin casa.txt 1\x1A") + "9";
    EXPECT_EQ(status(zoneThenCtrlZ, true), kExitSuccess);
    EXPECT_EQ(status(zoneThenCtrlZ, false), kExitFailure);  // "1\x1A" "9" is no number
    EXPECT_EQ(status("casa.bin \x1A casa.txt 1", true), kExitFailure);
    // ... but not UTF-16, where U+041A holds that byte.
    fs::copy_file("casa.bin", pathFromBytes("\xD0\x9A.bin"));
    EXPECT_EQ(status(utf16Answers("\xD0\x9A.bin k.txt 1"), true), kExitSuccess);
    EXPECT_TRUE(holdsZone1("k.txt"));
}

}  // namespace
}  // namespace zoneloads
