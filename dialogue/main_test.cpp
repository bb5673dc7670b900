// The real executable, run on a sample building with piped answers.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "common/text_encoding.h"
#include "testkit/run_tool.h"
#include "testkit/zone_files.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

using testkit::float32Text;

using testkit::readBytes;
using testkit::reportLines;
using testkit::runTool;

class ExecutableTest : public testkit::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        ASSERT_EQ(std::system((std::string("\"") + SAMPLE_BUILDING_EXE + "\" casa.bin --zones 5 --seed 7").c_str()), 0);
    }
};

// The hourly line of hour h, recomputed from the record.
std::string hourLine(const ZoneRecord& z, int h) {
    return float32Text(z.Treal[h]) + " , " + float32Text(z.Tmax[h]) + " , " + float32Text(z.Tmin[h]) + " , " +
           float32Text(z.Qs[h]) + " , " + float32Text(z.QL[h]) + " , " + float32Text(z.VventInf[h]) + " , " +
           int32Text(z.daCal[h]) + " , " + int32Text(z.daRef[h]);
}

TEST_F(ExecutableTest, WholeRunOnASampleBuilding) {
    testkit::ToolRun run = runTool(ZONELOADS_EXE, "casa.bin\ncasa.txt\n1\n");
    EXPECT_EQ(run.status, 0);
    auto zone = std::make_unique<ZoneRecord>();
    ZoneFile zones = testkit::openZones("casa.bin");
    std::string listing;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(readZone(zones, i, *zone));
        listing += "[" + std::to_string(i) + "] Nombre zona: " + zoneName(zone->name) + "\n";
    }
    EXPECT_EQ(run.output,
              "Nombre fichero entrada: Fichero entrada = casa.bin\n"
              "Nombre fichero salida: Fichero salida = casa.txt\n"
              "n\xBA zonas SOVRA: 5\n" +
                  listing + "Indica numero de la zona ( de 0 a 4) (-1 si desea introducir ua zona):");

    std::string bytes = readBytes("casa.txt");
    std::vector<std::string> lines = reportLines(bytes);
    ASSERT_EQ(lines.size(), 10u + 8760u + 1u + 8760u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1);
    ASSERT_TRUE(readZone(zones, 1, *zone));
    EXPECT_EQ(lines[0], "# ATENCION # Los valores son orientativos de potencias sensibles");
    EXPECT_EQ(lines[2], "# Nombre zona: " + zoneName(zone->name) + " : # Pesos g(i) #");
    EXPECT_EQ(lines[5], float32Text(zone->p[0]) + "," + float32Text(zone->p[1]));
    for (int h : {0, 1, 9, 10, 12, 4000, 8759}) EXPECT_EQ(lines[9 + h], hourLine(*zone, h)) << h;
    for (int h : {0, 12, 8759}) {
        float32 qs = zone->Qs[h];
        std::string expected = float32Text(qs) + " , " + float32Text(zone->QL[h]) + " , " +
                               float32Text(qs > 0 ? 0.0f : qs) + " , " + float32Text(qs > 0 ? qs : 0.0f);
        EXPECT_EQ(lines[9 + 8760 + 2 + h], expected) << h;
    }
}

TEST_F(ExecutableTest, ZoneListFileAndFailingStatus) {
    testkit::writeBytes("zonas.txt", "3 1 3");
    testkit::ToolRun run = runTool(ZONELOADS_EXE, "casa.bin casa.txt -1 zonas.txt\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(reportLines(readBytes("casa.txt")).size(), 3 * (10u + 8760u) + 1u + 8760u);

    run = runTool(ZONELOADS_EXE, "casa.bin casa.txt 9\n");
    EXPECT_EQ(run.status, testkit::kShellFailureStatus);
    EXPECT_EQ(run.output.substr(run.output.rfind(':') + 1), "# Error numero de zona fuera de rango 9\n");
}

TEST_F(ExecutableTest, ReportThatCannotBeWritten) {
    testkit::ToolRun run = runTool(ZONELOADS_EXE, "casa.bin nowhere/casa.txt 0\n");
    EXPECT_EQ(run.status, testkit::kShellFailureStatus);
    EXPECT_EQ(run.output.substr(run.output.rfind(':') + 1), "# Error al abrir fichero salida nowhere/casa.txt\n");

#if defined(_WIN32)
    // A report another program holds open (a spreadsheet shares it for
    // reading only): the dialogue's line, then a second one saying why.
    testkit::writeBytes("held.txt", "an older report");
    HANDLE held = CreateFileW(L"held.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run = runTool(ZONELOADS_EXE, "casa.bin held.txt 0\n");
    CloseHandle(held);
    EXPECT_EQ(run.status, testkit::kShellFailureStatus);
    const std::string told =
        "# Error al escribir fichero salida held.txt\n# El fichero esta abierto en otro programa\n";
    EXPECT_EQ(run.output.substr(run.output.size() - std::min(run.output.size(), told.size())), told) << run.output;
    EXPECT_EQ(testkit::readBytes("held.txt"), "an older report");
#endif
    if (!testkit::fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    run = runTool(ZONELOADS_EXE, "casa.bin /dev/full 0\n");
    EXPECT_EQ(run.status, testkit::kShellFailureStatus);
    EXPECT_EQ(run.output.substr(run.output.rfind(':') + 1), "# Error al escribir fichero salida /dev/full\n");
}

// A file dropped on the program comes as an argument, which it does not
// take: one line on standard error says so, and the dialogue runs as ever.
TEST_F(ExecutableTest, ArgumentsAreToldAndTheDialogueRunsAsEver) {
    testkit::writeBytes("answers.txt", "casa.bin\nplain.txt\n1\n");
    testkit::ToolRun plain = testkit::runShell("\"" ZONELOADS_EXE "\" < answers.txt", "out.txt");
    ASSERT_EQ(plain.status, 0);
    testkit::writeBytes("answers.txt", "casa.bin\ndropped.txt\n1\n");
    testkit::ToolRun dropped =
        testkit::runShell("\"" ZONELOADS_EXE "\" casa.bin --help < answers.txt 2> errors.txt", "out.txt");
    EXPECT_EQ(dropped.status, 0);
    std::string errors = testkit::readBytes("errors.txt");
    errors.erase(std::remove(errors.begin(), errors.end(), '\r'), errors.end());
    EXPECT_EQ(errors, "zoneloads: no admite argumentos (se ignoran); responda a las preguntas\n");
    std::string expected = plain.output;
    expected.replace(expected.find("plain.txt"), 9, "dropped.txt");
    EXPECT_EQ(dropped.output, expected);
    EXPECT_EQ(readBytes("dropped.txt"), readBytes("plain.txt"));
}

// A path pasted in quotes, with blanks and accents, piped as bytes and as
// UTF-16LE (as Windows PowerShell 5 writes answers): the plain run's report.
TEST_F(ExecutableTest, QuotedPathsAndUtf16Answers) {
    ASSERT_EQ(runTool(ZONELOADS_EXE, "casa.bin\nplain.txt\n1\n").status, 0);
    const std::string folder = "C\xC3\xA1lculos 2024";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file("casa.bin", folder + "/A\xC3\xB1o 2024.bin");
    const std::string answers = "\"" + folder + "/A\xC3\xB1o 2024.bin\"\r\n\"" + folder + "/Informe 1.txt\"\r\n1\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : utf16FromUtf8(answers)) utf16 += {static_cast<char>(unit), static_cast<char>(unit >> 8)};
    for (const std::string& given : {answers, utf16}) {
        testkit::ToolRun run = runTool(ZONELOADS_EXE, given);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.output.find("Fichero entrada = " + folder + "/A\xC3\xB1o 2024.bin\n"), std::string::npos);
        EXPECT_TRUE(readBytes(folder + "/Informe 1.txt") == readBytes("plain.txt"));
        std::filesystem::remove(folder + "/Informe 1.txt");
    }
}

// Faults that only a real process meets: its standard input, a pipe whose
// reader goes away, a file-size limit. Each must end with status -1 and its
// message, leave every input and an existing report as they were, and leave
// no temporary file.
struct ProcessFault {
    const char* name;
    const char* setup;    // shell commands run first
    std::string answers;  // written to answers.txt
    std::string consoleEnd;
    std::string command;  // {exe} stands for the tool
    std::string reportFile;
};

TEST_F(ExecutableTest, FaultsOfARealProcess) {
    const std::string same = "# Error fichero salida coincide con fichero de entrada ";
    const std::string cannotWrite = "# Error al escribir fichero salida ";
    const std::string redirected = "\"{exe}\" < answers.txt";
    const std::vector<ProcessFault> rows = {
        {"answers file as report", "", "casa.bin answers.txt 0\n", same + "answers.txt\n", redirected, "report.txt"},
        {"/dev/stdin from a file", "", "casa.bin /dev/stdin 0\n", same + "/dev/stdin\n", redirected, "report.txt"},
        {"/dev/stdin from a pipe", "", "casa.bin /dev/stdin 0\n", same + "/dev/stdin\n", "cat answers.txt | \"{exe}\"",
         "report.txt"},
        {"FIFO whose reader quits", "mkfifo r.fifo", "casa.bin r.fifo 0\n", cannotWrite + "r.fifo\n",
         "(head -c 1000 r.fifo > /dev/null) & \"{exe}\" < answers.txt; s=$?; wait; exit $s", "report.txt"},
        {"file-size limit", "", "casa.bin report.txt 0\n", cannotWrite + "report.txt\n", "ulimit -f 64; " + redirected,
         "report.txt"},
        {"file-size limit, new report", "", "casa.bin new.txt 0\n", cannotWrite + "new.txt\n",
         "ulimit -f 64; " + redirected, "new.txt"},
    };
    std::size_t index = 0;
    for (const ProcessFault& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::path rowDir = dir / ("row" + std::to_string(index++));
        std::filesystem::create_directory(rowDir);
        std::filesystem::copy_file("casa.bin", rowDir / "casa.bin");
        std::filesystem::current_path(rowDir);
        if (*row.setup) {
            ASSERT_EQ(std::system(row.setup), 0);
        }
        testkit::writeBytes("report.txt", "the previous report");
        testkit::writeBytes("answers.txt", row.answers);
        testkit::FolderState before = testkit::snapshotFolder("report.txt");

        std::string command = row.command;
        command.replace(command.find("{exe}"), 5, ZONELOADS_EXE);
        testkit::ToolRun run = testkit::runShell(command, (dir / "console.txt").string());
        EXPECT_EQ(run.status, testkit::kShellFailureStatus);
        ASSERT_GE(run.output.size(), row.consoleEnd.size()) << run.output;
        EXPECT_EQ(run.output.substr(run.output.size() - row.consoleEnd.size()), row.consoleEnd);
        testkit::expectFolderKept(before, "report.txt");
        EXPECT_EQ(readBytes("report.txt"), "the previous report");
        EXPECT_FALSE(testkit::fileExists("new.txt"));
        std::filesystem::current_path(dir);
    }
}

#ifndef _WIN32
// An existing report the user may not write is refused and keeps its bytes.
TEST_F(ExecutableTest, ReportWithoutWritePermissionIsKept) {
    testkit::writeBytes("r.txt", "protected");
    testkit::protect("r.txt");
    std::string user = testkit::asUnprivilegedUser(dir);
    testkit::writeBytes("answers.txt", "casa.bin r.txt 0\n");
    testkit::ToolRun run =
        testkit::runShell(user + "\"" + ZONELOADS_EXE + "\" < answers.txt", (dir / "console.txt").string());
    EXPECT_EQ(run.status, testkit::kShellFailureStatus);
    EXPECT_EQ(run.output.substr(run.output.rfind(':') + 1), "# Error al abrir fichero salida r.txt\n");
    EXPECT_EQ(readBytes("r.txt"), "protected");
}

// A report named /dev/stdout is the tool's standard output as it stands:
// appended to a log opened to append, never renamed over it; a pipe takes it.
TEST_F(ExecutableTest, ReportToStandardOutputIsWrittenInPlace) {
    testkit::writeBytes("answers.txt", "casa.bin /dev/stdout 0\n");
    testkit::writeBytes("log.txt", "earlier lines\n");
    testkit::ToolRun run = testkit::runShell("\"" ZONELOADS_EXE "\" < answers.txt >> log.txt; echo $?", "status.txt");
    EXPECT_EQ(run.output, "0\n");
    std::string log = readBytes("log.txt");
    EXPECT_EQ(log.substr(0, 14), "earlier lines\n");
    EXPECT_NE(log.find("Fichero salida = /dev/stdout\n"), std::string::npos);
    EXPECT_EQ(reportLines(log.substr(log.find("# ATENCION"))).size(), 10u + 8760u + 1u + 8760u);
    run = testkit::runShell("\"" ZONELOADS_EXE "\" < answers.txt | wc -c", "count.txt");
    EXPECT_GT(std::stoll(run.output), static_cast<long long>(log.size()) - 14 - 1000);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

// A run stopped by SIGINT, SIGTERM or SIGHUP while it writes the report
// removes its temporary file; the old report keeps its bytes.
TEST_F(ExecutableTest, InterruptedRunLeavesNothingBehind) {
    ASSERT_EQ(std::system((std::string("\"") + SAMPLE_BUILDING_EXE + "\" big.bin --zones 400 --seed 7").c_str()), 0);
    std::string all;
    for (int i = 0; i < 400; ++i) all += std::to_string(i) + " ";
    testkit::writeBytes("all.txt", all);
    testkit::writeBytes("answers.txt", "big.bin r.txt -1 all.txt\n");
    for (const char* signal : {"INT", "TERM", "HUP"}) {
        SCOPED_TRACE(signal);
        testkit::writeBytes("r.txt", "the previous report");
        // A background run of a script starts with SIGINT ignored: env gives it back.
        std::string script = std::string("exec 2> /dev/null; env --default-signal=INT \"") + ZONELOADS_EXE +
                             "\" < answers.txt > /dev/null & pid=$!; "
                             "while kill -0 $pid 2> /dev/null && ! ls | grep -q '\\.tmp$'; do sleep 0.002; done; "
                             "kill -" +
                             signal + " $pid; wait $pid; echo $?";
        testkit::ToolRun run = testkit::runShell(script, (dir / "status.txt").string());
        EXPECT_GE(std::stoi(run.output), 128) << "the run ended before the signal";
        EXPECT_TRUE(readBytes("r.txt") == "the previous report") << "the old report was replaced";
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        }
    }
}

#if !defined(ZONELOADS_SANITIZED)
// With less and less memory, every run ends: with its report, or with one
// message, status -1, the old report kept and no temporary left.
TEST_F(ExecutableTest, RunsOutOfMemoryEndWithOneMessage) {
    testkit::writeBytes("report.txt", "old report");
    testkit::writeBytes("answers.txt", "casa.bin\nreport.txt\n1\n");
    bool toldOfMemory = false;
    for (int kib = 6000; kib <= 30000; kib += 1000) {
        testkit::ToolRun run = testkit::runShell(
            "(ulimit -v " + std::to_string(kib) + "; \"" + ZONELOADS_EXE + "\" < answers.txt); echo \"status $?\"",
            "out.txt");
        const std::string& out = run.output;
        if (out.find("status 127") != std::string::npos) continue;  // the system could not start it
        if (out.substr(out.size() - 9) == "status 0\n") {
            EXPECT_EQ(reportLines(readBytes("report.txt")).size(), 10u + 8760u + 1u + 8760u) << kib;
            testkit::writeBytes("report.txt", "old report");
            continue;
        }
        EXPECT_NE(out.find("# Error sin memoria\nstatus 255\n"), std::string::npos) << kib << ": " << out;
        toldOfMemory = true;
        EXPECT_EQ(readBytes("report.txt"), "old report") << kib;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            EXPECT_NE(entry.path().extension(), ".tmp") << kib << ": left behind: " << entry.path();
        }
    }
    EXPECT_TRUE(toldOfMemory);
}
#endif
#endif

}  // namespace
}  // namespace zoneloads
