// The real zoneloads-view on reports written by the real zoneloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "testkit/run_tool.h"
#include "testkit/zone_files.h"

namespace zoneloads {
namespace {

using testkit::readBytes;
using testkit::runShell;
using testkit::writeBytes;

class ViewExecutable : public testkit::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        ASSERT_EQ(std::system((std::string("\"") + SAMPLE_BUILDING_EXE + "\" casa.bin --zones 3 --seed 2").c_str()), 0);
        writeBytes("l.txt", "0 2");
        writeBytes("a.txt", "casa.bin casa.txt -1 l.txt\n");
        ASSERT_EQ(runShell(std::string("\"") + ZONELOADS_EXE + "\" < a.txt", "out.txt").status, 0);
        writeBytes("b.txt", "casa.bin otra.txt 1\n");
        ASSERT_EQ(runShell(std::string("\"") + ZONELOADS_EXE + "\" < b.txt", "out.txt").status, 0);
    }
    static testkit::ToolRun view(const std::string& arguments) {
        return runShell(std::string("\"") + VIEW_EXE + "\" " + arguments + " 2>&1", "view-out.txt");
    }
};

TEST_F(ViewExecutable, PageCsvAndTableForSeveralReports) {
    testkit::ToolRun run = view("casa.txt otra.txt --csv t.csv");
    ASSERT_EQ(run.status, 0) << run.output;
    std::string page = readBytes("casa.html");
    EXPECT_EQ(page.substr(0, 15), "<!DOCTYPE html>");
    EXPECT_NE(page.find("Edificios: una fila de totales por informe"), std::string::npos);
    // One small script of its own, for the figures' hover values, and
    // nothing fetched from elsewhere.
    EXPECT_EQ(page.find("<script"), page.rfind("<script"));
    EXPECT_NE(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("src=\"http"), std::string::npos);
    EXPECT_EQ(page.find("href=\"http"), std::string::npos);
    std::vector<std::string> csv = testkit::reportLines(readBytes("t.csv"));
    ASSERT_EQ(csv.size(), 1u + 3u + 2u);  // header, casa.txt's 2 blocks and total, otra.txt's block and total
    EXPECT_EQ(csv[3].substr(0, 15), "casa.txt,TOTAL,");
    EXPECT_EQ(csv[5].substr(0, 15), "otra.txt,TOTAL,");
    // The table on standard output: a header and the same rows.
    EXPECT_EQ(run.output.substr(0, 8), "informe ");
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 6);
}

// Two designs compared: the first report is the base. The page opens with
// the comparison, the CSV adds the difference table after a blank line, and
// blocks that find no zone of their name are warned of, not dropped silently.
TEST_F(ViewExecutable, ComparesAVariantWithTheBase) {
    ASSERT_EQ(std::system((std::string("\"") + SAMPLE_BUILDING_EXE + "\" var.bin --zones 3 --seed 5").c_str()), 0);
    writeBytes("c.txt", "var.bin var.txt -1 l.txt\n");
    ASSERT_EQ(runShell(std::string("\"") + ZONELOADS_EXE + "\" < c.txt", "out.txt").status, 0);
    testkit::ToolRun run = view("casa.txt var.txt --comparar --csv t.csv");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("aviso"), std::string::npos) << run.output;
    std::string page = readBytes("casa.html");
    std::size_t comparison = page.find("<table class=\"comparison\">");
    ASSERT_NE(comparison, std::string::npos);
    EXPECT_LT(comparison, page.find("<table class=\"summary\">"));
    std::vector<std::string> csv = testkit::reportLines(readBytes("t.csv"));
    ASSERT_EQ(csv.size(), 1u + 3u + 3u + 1u + 1u + 3u);  // the table, a blank line, the differences
    EXPECT_EQ(csv[7], "");
    EXPECT_EQ(csv[8].substr(0, 38), "base,variante,zona,bloque_base,bloque_");
    EXPECT_EQ(csv[11].substr(0, 31), "casa.txt,var.txt,EDIFICIO,TOTAL");

    run = view("casa.txt otra.txt --comparar -o c.html");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("zoneloads-view: aviso: otra.txt: bloque 1 ("), std::string::npos) << run.output;
    EXPECT_NE(readBytes("c.html").find("<p class=\"warn\">Aviso: casa.txt: bloque 1"), std::string::npos);
    EXPECT_NE(view("casa.txt --comparar").status, 0);  // nothing to compare with
}

TEST_F(ViewExecutable, FailureWritesNothingAndKeepsTheOldPage) {
    writeBytes("casa.html", "old page");
    writeBytes("t.csv", "old table");
    std::string report = readBytes("casa.txt");
    writeBytes("cut.txt", report.substr(0, report.size() / 2));
    testkit::ToolRun run = view("casa.txt cut.txt -o casa.html --csv t.csv");
    EXPECT_NE(run.status, 0);
    const std::string message = "zoneloads-view: cut.txt, linea ";
    EXPECT_EQ(run.output.substr(0, message.size()), message);
    EXPECT_EQ(readBytes("casa.html"), "old page");
    EXPECT_EQ(readBytes("t.csv"), "old table");
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
    EXPECT_NE(view("missing.txt").status, 0);
    EXPECT_NE(view("").status, 0);  // no report: the usage
    EXPECT_NE(view("casa.txt -o casa.txt").status, 0);
    EXPECT_EQ(readBytes("casa.txt"), report);
}

#ifndef _WIN32
// The CSV named /dev/stdout is the viewer's standard output as it stands: a
// log opened to append keeps its lines, a pipe takes it; the page may be
// discarded into /dev/null.
TEST_F(ViewExecutable, StandardOutputAndDevicesAreWrittenInPlace) {
    writeBytes("log.txt", "earlier lines\n");
    testkit::ToolRun run = view("casa.txt -o /dev/null --csv /dev/stdout >> log.txt; echo $?");
    EXPECT_EQ(run.output, "0\n");
    std::string log = readBytes("log.txt");
    EXPECT_EQ(log.substr(0, 14 + 8), "earlier lines\ninforme,");
    EXPECT_NE(log.find("casa.txt,TOTAL,"), std::string::npos);
    EXPECT_FALSE(testkit::fileExists("casa.html"));
    run = view("casa.txt -o /dev/null --csv /dev/stdout | wc -l");
    EXPECT_EQ(std::stoi(run.output), 4 + 4);  // the CSV's 4 lines and the table's
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
}

// A page or CSV the user may not write is refused, says why, keeps its bytes.
TEST_F(ViewExecutable, OutputsWithoutWritePermissionAreKept) {
    writeBytes("p.html", "protected page");
    writeBytes("t.csv", "protected table");
    testkit::protect("p.html");
    testkit::protect("t.csv");
    std::string user = testkit::asUnprivilegedUser(dir);
    testkit::ToolRun run = runShell(user + "\"" + VIEW_EXE + "\" casa.txt -o p.html 2>&1", "out.txt");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.output, "zoneloads-view: p.html: no se puede crear (permiso denegado)\n");
    run = runShell(user + "\"" + VIEW_EXE + "\" casa.txt -o q.html --csv t.csv 2>&1", "out.txt");
    EXPECT_EQ(run.output, "zoneloads-view: t.csv: no se puede crear (permiso denegado)\n");
    EXPECT_EQ(readBytes("p.html"), "protected page");
    EXPECT_EQ(readBytes("t.csv"), "protected table");
    EXPECT_FALSE(testkit::fileExists("q.html"));
}

// A CSV written to a pipe whose reader has gone, or a page past the
// file-size limit, is one message and the failure status; no signal kills
// the viewer, the old page keeps its bytes and no temporary is left.
TEST_F(ViewExecutable, ClosedPipeAndFileSizeLimitAreMessages) {
    writeBytes("casa.html", "old page");
    const std::string exe = std::string("\"") + VIEW_EXE + "\"";
    testkit::ToolRun run = runShell("{ sleep 0.3; " + exe +
                                        " casa.txt --csv /dev/stdout 2> err.txt; echo $? > status.txt; } | true; "
                                        "sleep 0.1; cat status.txt err.txt",
                                    "out.txt");
    EXPECT_EQ(run.output, "1\nzoneloads-view: /dev/stdout: error al escribir (el lector de la tuberia se ha ido)\n");
    // 200 KiB: room for the zone sections' scratch file (about 175 kB), not for the page.
    run = runShell("(ulimit -f 400; " + exe + " casa.txt > /dev/null) 2>&1; echo \"status $?\"", "out.txt");
    EXPECT_EQ(run.output, "zoneloads-view: casa.html: error al escribir (fichero demasiado grande)\nstatus 1\n");
    EXPECT_EQ(readBytes("casa.html"), "old page");
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
}

// A table that cannot be written is an error, not a silent success.
TEST_F(ViewExecutable, LostTableIsAnError) {
    testkit::ToolRun run =
        runShell(std::string("\"") + VIEW_EXE + "\" casa.txt > /dev/full 2> err.txt; echo $?; cat err.txt", "out.txt");
    EXPECT_EQ(run.output, "1\nzoneloads-view: salida estandar: error al escribir la tabla (disco lleno)\n");
    run = runShell(std::string("\"") + VIEW_EXE + "\" casa.txt >&- 2> err.txt; echo $?; cat err.txt", "out.txt");
    EXPECT_EQ(run.output.substr(0, 2), "1\n");
}
#endif

}  // namespace
}  // namespace zoneloads
