// The real zoneloads-view on reports written by the real zoneloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/text_encoding.h"
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
    // Two scripts in the page, the chart library and the page's own, and
    // nothing fetched from elsewhere.
    std::size_t scripts = 0;
    for (std::size_t at = page.find("<script"); at != std::string::npos; at = page.find("<script", at + 1)) {
        EXPECT_EQ(page.compare(at, 8, "<script>"), 0) << page.substr(at, 40);
        ++scripts;
    }
    EXPECT_EQ(scripts, 2u);
    EXPECT_EQ(page.find("src=\"http"), std::string::npos);
    EXPECT_EQ(page.find("href=\"http"), std::string::npos);
    std::vector<std::string> csv = testkit::reportLines(readBytes("t.csv"));
    ASSERT_EQ(csv.size(), 1u + 3u + 2u);  // header, casa.txt's 2 blocks and total, otra.txt's block and total
    EXPECT_EQ(csv[3].substr(0, 15), "casa.txt,TOTAL,");
    EXPECT_EQ(csv[5].substr(0, 15), "otra.txt,TOTAL,");
    // A heating peak: signed in the CSV as the report has it, a magnitude
    // with a decimal comma on the page.
    std::string heating = csv[1];
    for (int field = 0; field < 5; ++field) heating.erase(0, heating.find(',') + 1);
    heating.erase(heating.find(','));
    ASSERT_EQ(heating.front(), '-') << csv[1];
    std::string magnitude = heating.substr(1);
    std::replace(magnitude.begin(), magnitude.end(), '.', ',');
    std::size_t from = page.find("<summary>Resumen por bloque");
    std::string summary = page.substr(from, page.find("</table>", from) - from);
    EXPECT_NE(summary.find("<td class=\"n\">" + magnitude + "</td>"), std::string::npos) << magnitude;
    EXPECT_EQ(summary.find(">-"), std::string::npos);
    // The table on standard output: per report a line naming it, a header
    // and the same rows.
    EXPECT_EQ(run.output.substr(0, 17), "Informe casa.txt\n");
    EXPECT_NE(run.output.find("\n\nInforme otra.txt\n"), std::string::npos);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 2 + 3 + 1 + 2 + 2);
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
    const std::string message = "zoneloads-view: cut.txt, l\xC3\xADnea ";
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

// The viewer given a zone results file: the report of all its zones, never
// written, in one step.
class ZoneResultsFile : public testkit::ScratchDir {
protected:
    // NAME.bin, a sample building, and NAME.txt, the report of all its zones.
    static void building(const std::string& name, int zones, const std::string& flags) {
        ASSERT_EQ(std::system((std::string("\"") + SAMPLE_BUILDING_EXE + "\" " + name + ".bin --zones " +
                               std::to_string(zones) + " " + flags)
                                  .c_str()),
                  0);
        std::string all;
        for (int z = 0; z < zones; ++z) all += std::to_string(z) + " ";
        writeBytes("all.txt", all);
        writeBytes("answers.txt", name + ".bin " + name + ".txt -1 all.txt\n");
        ASSERT_EQ(runShell(std::string("\"") + ZONELOADS_EXE + "\" < answers.txt", "out.txt").status, 0);
    }
    // Runs the viewer; its standard output and standard error, apart.
    static testkit::ToolRun view(const std::string& arguments, std::string& errors) {
        testkit::ToolRun run = runShell(std::string("\"") + VIEW_EXE + "\" " + arguments + " 2> err.txt", "out.txt");
        errors = readBytes("err.txt");
        std::filesystem::remove("err.txt");
        return run;
    }
    // `text` with every `from` made `to`.
    static std::string renamed(std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        return text;
    }
    // The console table's figures: each line of a report's table without
    // the zone's label, whose width differs between a report and a zone
    // results file (the figures, right-aligned, end every line alike).
    static std::string tableFigures(const std::string& table) {
        std::string figures;
        std::size_t width = 0;  // of the figures, from the header
        for (std::size_t at = 0; at < table.size(); at = table.find('\n', at) + 1) {
            std::string line = table.substr(at, table.find('\n', at) - at);
            if (line.rfind("zona ", 0) == 0) width = line.size() - line.find("refrig.");
            bool row = width > 0 && line.size() >= width && line.rfind("Informe ", 0) != 0;
            figures += (row ? line.substr(line.size() - width) : line) + "\n";
        }
        return figures;
    }
    // A CSV without the last field of each line, which goes into `last`.
    static std::string lastColumnApart(const std::string& csv, char separator, std::vector<std::string>& last) {
        std::string rest;
        last.clear();
        for (const std::string& line : testkit::reportLines(csv)) {
            last.push_back(line.substr(line.rfind(separator) + 1));
            rest += line.substr(0, line.rfind(separator)) + "\n";
        }
        return rest;
    }
    // The workbook's cells as a spreadsheet reads them, one a line.
    static std::string cells(const std::string& book) {
        return runShell("/usr/bin/python3 \"" ZONELOADS_SOURCE_DIR "/testkit/read_workbook.py\" " + book, "cells.txt")
            .output;
    }
};

// For smooth and realistic buildings of 3 and 40 zones, the page, both CSVs,
// the workbook and the table of the zone results file are those of the
// report of all its zones, byte for byte, but for the input's name and the
// zones' numbers, which only the zone results file holds: the CSVs' last
// column, and the table's labels ("3 \u00b7 NAME" for "bloque 4 \u00b7 NAME"),
// which change its width.
TEST_F(ZoneResultsFile, GivesTheOutputsOfTheReportOfAllItsZones) {
    for (const char* flags : {"--seed 2", "--seed 7 --varied"}) {
        for (int zones : {3, 40}) {
            SCOPED_TRACE(std::string(flags) + ", zones " + std::to_string(zones));
            building("casa", zones, flags);
            // The workbook, read back cell by cell, for the small buildings
            // alone: the spreadsheet reader takes seconds on 40 zones' hours.
            const bool withBook = zones == 3;
            const std::string outputs = std::string(" --csv t.csv --csv-es e.csv") + (withBook ? " --xlsx b.xlsx" : "");
            std::string errors;
            testkit::ToolRun fromReport = view("casa.txt -o casa-txt.html" + outputs, errors);
            ASSERT_EQ(fromReport.status, 0) << errors;
            const std::string page = readBytes("casa-txt.html"), csv = readBytes("t.csv"), spanish = readBytes("e.csv"),
                              book = withBook ? cells("b.xlsx") : "";
            testkit::ToolRun fromZones = view("casa.bin" + outputs, errors);  // the page: casa.html
            ASSERT_EQ(fromZones.status, 0) << errors;
            EXPECT_EQ(errors, "");
            EXPECT_EQ(renamed(tableFigures(fromZones.output), "casa.bin", "casa.txt"), tableFigures(fromReport.output));
            EXPECT_NE(fromZones.output.find("\n" + std::to_string(zones - 1) + " \u00b7 P0"), std::string::npos);
            EXPECT_NE(fromReport.output.find("\nbloque " + std::to_string(zones) + " \u00b7 P0"), std::string::npos);
            EXPECT_EQ(renamed(readBytes("casa.html"), "casa.bin", "casa.txt"), page);
            std::vector<std::string> numbers, none, spanishNumbers, spanishNone;
            EXPECT_EQ(renamed(lastColumnApart(readBytes("t.csv"), ',', numbers), "casa.bin", "casa.txt"),
                      lastColumnApart(csv, ',', none));
            EXPECT_EQ(renamed(lastColumnApart(readBytes("e.csv"), ';', spanishNumbers), "casa.bin", "casa.txt"),
                      lastColumnApart(spanish, ';', spanishNone));
            ASSERT_EQ(numbers.size(), 1u + zones + 1u);
            EXPECT_EQ(numbers[0], "numero_zona");
            for (std::size_t row = 1; row < numbers.size(); ++row) {
                EXPECT_EQ(numbers[row], row <= static_cast<std::size_t>(zones) ? std::to_string(row - 1) : "");
                EXPECT_EQ(spanishNumbers[row], numbers[row]);
                EXPECT_EQ(none[row], "");
                EXPECT_EQ(spanishNone[row], "");
            }
            if (withBook) {
                EXPECT_EQ(renamed(cells("b.xlsx"), "casa.bin", "casa.txt"), book);
            }
            EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + zones + 1);
        }
    }
}

// The table as the trade writes it, through the real program: each zone by
// its number, figures right-aligned within 120 columns, heating as its
// magnitude; with every column, heating under names that say calefaccion,
// never the CSV's signed names.
TEST_F(ZoneResultsFile, TheTableNamesZonesAndShowsHeatingAsMagnitudes) {
    building("casa", 12, "--seed 7 --varied");
    std::string errors;
    testkit::ToolRun run = view("casa.bin -o /dev/null", errors);
    ASSERT_EQ(run.status, 0) << errors;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < run.output.size(); at = run.output.find('\n', at) + 1) {
        lines.push_back(run.output.substr(at, run.output.find('\n', at) - at));
    }
    ASSERT_EQ(lines.size(), 1u + 1u + 12u + 1u) << run.output;
    auto chars = [](const std::string& line) {
        return std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; });
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(chars(lines[i]), chars(lines[1])) << run.output;  // the figures end together
        EXPECT_LE(chars(lines[i]), 120) << run.output;
        if (i >= 2 && i < 14) {
            EXPECT_EQ(lines[i].rfind(std::to_string(i - 2) + " \u00b7 P0", 0), 0u) << lines[i];
        }
    }
    EXPECT_EQ(lines.back().rfind("TOTAL ", 0), 0u);
    EXPECT_EQ(run.output.find('-'), std::string::npos) << run.output;
    run = view("casa.bin -o /dev/null --tabla-completa --csv t.csv", errors);
    ASSERT_EQ(run.status, 0) << errors;
    EXPECT_NE(run.output.find(" calefacci\u00f3n_max[W] "), std::string::npos);
    EXPECT_EQ(run.output.find(" QsCAL_max[W] "), std::string::npos);
    EXPECT_EQ(run.output.find('-'), std::string::npos);
    EXPECT_NE(readBytes("t.csv").find(",-"), std::string::npos);  // the CSV keeps the report's signs
}

// Both kinds on one command line, a zone results file as the base of a
// report: the comparison of the two reports.
TEST_F(ZoneResultsFile, MixesWithReportsInAComparison) {
    building("base", 3, "--seed 2");
    building("variante", 3, "--seed 5 --varied");
    std::string errors, reportErrors;
    testkit::ToolRun reports = view("base.txt variante.txt --comparar -o r.html --csv r.csv", reportErrors);
    ASSERT_EQ(reports.status, 0) << reportErrors;
    testkit::ToolRun mixed = view("base.bin variante.txt --comparar -o m.html --csv m.csv", errors);
    ASSERT_EQ(mixed.status, 0) << errors;
    EXPECT_EQ(renamed(errors, "base.bin", "base.txt"), reportErrors);
    EXPECT_EQ(renamed(tableFigures(mixed.output), "base.bin", "base.txt"), tableFigures(reports.output));
    std::vector<std::string> numbers, none;
    EXPECT_EQ(renamed(lastColumnApart(readBytes("m.csv"), ',', numbers), "base.bin", "base.txt"),
              lastColumnApart(readBytes("r.csv"), ',', none));
    EXPECT_EQ(numbers[1] + numbers[2] + numbers[3] + numbers[4] + numbers[5], "012");  // the base's zones alone
    EXPECT_EQ(renamed(readBytes("m.html"), "base.bin", "base.txt"), readBytes("r.html"));
    EXPECT_NE(readBytes("m.csv").find("base.bin,variante.txt,EDIFICIO,TOTAL"), std::string::npos);
}

// A building that never needs heating shows its heating as 0, never as -0:
// the magnitude of an empty sum of negative loads.
TEST_F(ZoneResultsFile, NoHeatingReadsZeroNotMinusZero) {
    std::unique_ptr<ZoneRecord> zone = testkit::makeZone("Sala", 200);  // Qs 50 W to 350 W
    testkit::writeZoneFile("fresco.bin", 1, {zone.get()});
    std::string errors;
    EXPECT_EQ(view("fresco.bin -o f.html", errors).status, 0) << errors;
    const std::string page = readBytes("f.html");
    EXPECT_NE(page.find("de calefacci&oacute;n <b>0 kWh</b> en 0 h"), std::string::npos);
    EXPECT_NE(page.find("de calefacci&oacute;n: suma de las zonas <b>0 kWh</b>, neta del edificio 0 kWh"),
              std::string::npos);
    EXPECT_NE(page.find("calefacci&oacute;n 0 W &middot;"), std::string::npos);
    EXPECT_EQ(page.find(">-0 "), std::string::npos);
    EXPECT_EQ(page.find(" -0 "), std::string::npos);
}

// A summary table of up to 100 zone blocks (and the building's row) is open
// as the page opens; a longer one is folded, so that laying it out does not
// keep a large building's page from opening at once.
TEST_F(ZoneResultsFile, LongSummaryTablesOpenFolded) {
    for (int zones : {100, 101}) {
        ASSERT_EQ(std::system(
                      (std::string("\"") + SAMPLE_BUILDING_EXE + "\" b.bin --zones " + std::to_string(zones)).c_str()),
                  0);
        std::string errors;
        ASSERT_EQ(view("b.bin -o b.html", errors).status, 0) << errors;
        const std::string page = readBytes("b.html");
        const std::string open = "<details class=\"rows\" open><summary>";
        const std::string folded = "<details class=\"rows\"><summary>";
        EXPECT_NE(page.find(zones == 100 ? open : folded), std::string::npos) << zones;
        EXPECT_EQ(page.find(zones == 100 ? folded : open), std::string::npos) << zones;
    }
}

// A zone results file cut short or with a count that is not its own, and a
// file that is no input at all: one line naming the file and both readings,
// status 1, nothing written, old outputs and the inputs kept.
TEST_F(ZoneResultsFile, CutOrCorruptedFilesAreRefusedWithOneLine) {
    building("casa", 3, "--seed 2");
    const std::string bytes = readBytes("casa.bin");
    writeBytes("cut.bin", bytes.substr(0, bytes.size() / 2));
    writeBytes("count.bin", std::string("\x04", 1) + bytes.substr(1));
    writeBytes("negative.bin", std::string("\xFD\xFF\xFF\xFF", 4) + bytes.substr(4));
    writeBytes("three.bin", bytes.substr(0, 3));
    writeBytes("one.bin", std::string("\x01\x00\x00\x00", 4) + bytes.substr(4, 1000));
    writeBytes("empty.bin", "");
    writeBytes("photo.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    writeBytes("LEEME.txt", "zoneloads 1.2.0 para Windows\r\n============================\r\n");
    writeBytes("page.html", "old page");
    writeBytes("t.csv", "old table");
    const std::pair<const char*, const char*> cases[] = {
        {"cut.bin", "dice tener 3 zonas y solo alcanza para 1"},
        {"count.bin", "dice tener 4 zonas y solo alcanza para 3"},
        {"negative.bin", "el n\xC3\xBAmero de zonas es negativo (-3)"},
        {"one.bin", "dice tener 1 zona y solo alcanza para 0"},
        {"three.bin", "tiene 3 bytes, menos que los 4 del n\xC3\xBAmero de zonas"},
        {"empty.bin", "tiene 0 bytes, menos que los 4 del n\xC3\xBAmero de zonas"},
        {"photo.jpg", "el n\xC3\xBAmero de zonas es negativo (-520103681)"},
        {"LEEME.txt", "no empieza con un n\xC3\xBAmero de zonas"},  // a text: "zone" counts 1701736314
    };
    testkit::FolderState before = testkit::snapshotFolder("");
    for (const auto& c : cases) {
        std::string errors;
        testkit::ToolRun run =
            view(std::string("casa.bin ") + c.first + " -o page.html --csv t.csv --xlsx b.xlsx", errors);
        EXPECT_EQ(run.status, 1) << c.first;
        EXPECT_EQ(run.output, "");
        const std::string start = std::string("zoneloads-view: ") + c.first + ": no es un informe de zoneloads (";
        EXPECT_EQ(errors.substr(0, start.size()), start);
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        const std::string zones = std::string(") ni un fichero de resultados de zonas (") + c.second + ")\n";
        EXPECT_GE(errors.size(), zones.size());
        EXPECT_EQ(errors.substr(errors.size() - std::min(errors.size(), zones.size())), zones);
        testkit::expectFolderKept(before, "");  // old outputs and inputs kept, nothing new
    }
}

// The tolerance as typed: a decimal comma as a Spanish user types it, and
// -0 as 0 in every output; what is no tolerance is refused with the usage,
// which gives the default with a decimal comma.
TEST_F(ZoneResultsFile, TheToleranceAsTyped) {
    building("casa", 3, "--seed 2");
    const struct {
        const char* typed;
        const char* csv;
        const char* spanish;
    } cases[] = {{"-0", ",0", ";0"}, {"0,5", ",0.5", ";0,5"}, {"0.25", ",0.25", ";0,25"}};
    for (const auto& c : cases) {
        std::string errors;
        testkit::ToolRun run =
            view(std::string("casa.bin -o p.html --csv t.csv --csv-es e.csv --tolerancia ") + c.typed, errors);
        ASSERT_EQ(run.status, 0) << c.typed << ": " << errors;
        for (const auto& [file, ending] : {std::pair{"t.csv", std::string(c.csv)}, {"e.csv", std::string(c.spanish)}}) {
            std::vector<std::string> lines = testkit::reportLines(readBytes(file));
            ASSERT_EQ(lines.size(), 1u + 3u + 1u) << file;
            for (std::size_t row = 1; row < lines.size(); ++row) {  // after the header, the tolerance before the zone
                std::string zone = row < 4 ? std::to_string(row - 1) : "";
                std::string end = ending + (file[0] == 't' ? "," : ";") + zone;
                EXPECT_EQ(lines[row].substr(lines[row].size() - end.size()), end) << file << ": " << lines[row];
            }
        }
        EXPECT_EQ(readBytes("p.html").find("de -0 K"), std::string::npos) << c.typed;
    }
    std::string errors;
    EXPECT_NE(view("--help", errors).output.find("(por omisi\xC3\xB3n 0,2)"), std::string::npos);
    for (const char* wrong : {"0,5,1", "0,5.1", "-1", "abc", "101"}) {
        EXPECT_EQ(view(std::string("casa.bin -o p.html --tolerancia ") + wrong, errors).status, 2) << wrong;
    }
}

// Names in one encoding in each output: a zone's name is Windows-1252
// unless it is UTF-8, and every text the viewer writes is UTF-8 (the table
// in a file, the CSV, the page, the messages) but the Spanish CSV,
// Windows-1252 throughout.
TEST_F(ZoneResultsFile, NamesInOneEncodingInEveryOutput) {
    auto camara = testkit::makeZone("C\xE1mara", 1);  // Windows-1252
    auto ano = testkit::makeZone("A\xC3\xB1o", 2);    // UTF-8
    auto otra = testkit::makeZone("Otra", 3);
    testkit::writeZoneFile("A\xC3\xB1o.bin", 2, {camara.get(), ano.get()});
    testkit::writeZoneFile("v.bin", 2, {otra.get(), ano.get()});
    std::string errors;
    testkit::ToolRun run = view("A\xC3\xB1o.bin v.bin --comparar -o p.html --csv t.csv --csv-es e.csv", errors);
    ASSERT_EQ(run.status, 0) << errors;
    const std::string table = run.output, messages = errors, csv = readBytes("t.csv"), page = readBytes("p.html");
    for (const std::string* utf8 : {&table, &csv, &messages, &page}) {
        EXPECT_TRUE(isValidUtf8(*utf8)) << *utf8;
        EXPECT_NE(utf8->find("C\xC3\xA1mara"), std::string::npos) << *utf8;
        EXPECT_EQ(utf8->find("A\xC3\x83\xC2\xB1o"), std::string::npos);  // UTF-8 never read as Windows-1252
    }
    EXPECT_NE(table.find("Informe A\xC3\xB1o.bin\n"), std::string::npos) << table;
    // Aligned by characters: "C\xC3\xA1mara" is 6 wide; zones by their numbers.
    EXPECT_NE(table.find("\n0 \u00b7 C\xC3\xA1mara    "), std::string::npos) << table;
    EXPECT_NE(table.find("\n1 \u00b7 A\xC3\xB1o       "), std::string::npos) << table;
    EXPECT_NE(csv.find("\r\nA\xC3\xB1o.bin,2,A\xC3\xB1o,"), std::string::npos) << csv;
    EXPECT_NE(page.find("Bloque 2: A\xC3\xB1o</h3>"), std::string::npos);
    EXPECT_NE(errors.find("aviso: A\xC3\xB1o.bin: bloque 1 (C\xC3\xA1mara) sin zona"), std::string::npos) << errors;
    const std::string spanish = readBytes("e.csv");
    EXPECT_NE(spanish.find("\r\nA\xF1o.bin;1;C\xE1mara;"), std::string::npos) << spanish;
    EXPECT_NE(spanish.find("\r\nA\xF1o.bin;2;A\xF1o;"), std::string::npos) << spanish;
}

#ifndef _WIN32
// Through a named pipe, a report is read, and a zone results file, whose
// size a pipe cannot tell, is refused at once in one line: the file is
// opened once, never again to wait for a writer that has gone.
TEST_F(ZoneResultsFile, ThroughAPipeIsRefusedAtOnce) {
    building("casa", 3, "--seed 2");
    ASSERT_EQ(runShell("mkfifo in", "out.txt").status, 0);
    const std::string fromPipe = "timeout 20 \"" VIEW_EXE "\" in -o /dev/null";
    testkit::ToolRun run = runShell("(cat casa.bin > in &); " + fromPipe + " 2>&1; echo $?", "out.txt");
    EXPECT_EQ(run.output,
              "zoneloads-view: in: no es un informe de zoneloads (la l\xC3\xADnea 1 no abre un bloque de "
              "zona ni la secci\xC3\xB3n de totales) ni un fichero de resultados de zonas (no se puede "
              "saber su tama\xC3\xB1o)\n1\n");
    std::string errors;
    const std::string table = view("casa.txt -o /dev/null", errors).output;
    run = runShell("(cat casa.txt > in &); " + fromPipe, "out.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(renamed(run.output, "Informe in", "Informe casa.txt"), table);
}

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
    EXPECT_EQ(std::stoi(run.output), 4 + 5);  // the CSV's 4 lines and the table's
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
    // A protected workbook beside an old page: the page is kept too.
    writeBytes("q.html", "old page");
    std::filesystem::permissions("q.html", std::filesystem::perms::all);  // that user may replace it
    writeBytes("b.xlsx", "protected book");
    testkit::protect("b.xlsx");
    run = runShell(user + "\"" + VIEW_EXE + "\" casa.txt -o q.html --xlsx b.xlsx 2>&1", "out.txt");
    EXPECT_EQ(run.output, "zoneloads-view: b.xlsx: no se puede crear (permiso denegado)\n");
    EXPECT_EQ(readBytes("q.html"), "old page");
    EXPECT_EQ(readBytes("b.xlsx"), "protected book");
    EXPECT_EQ(readBytes("p.html"), "protected page");
    EXPECT_EQ(readBytes("t.csv"), "protected table");
    if (user.empty()) return;  // the rest needs a file of another user
    // In a shared folder with the sticky bit, another user's file may be
    // written but not replaced: refused before anything is made there.
    namespace fs = std::filesystem;
    fs::create_directory("shared");
    fs::permissions("shared", fs::perms::all | fs::perms::sticky_bit);
    writeBytes("shared/s.html", "root's page");
    fs::permissions("shared/s.html", fs::perms::all);
    run = runShell(user + "\"" + VIEW_EXE + "\" casa.txt -o shared/s.html 2>&1", "out.txt");
    EXPECT_EQ(run.output, "zoneloads-view: shared/s.html: no se puede crear (permiso denegado)\n");
    EXPECT_EQ(readBytes("shared/s.html"), "root's page");
    for (const auto& entry : fs::directory_iterator("shared")) {
        EXPECT_EQ(entry.path().filename(), "s.html") << "left behind: " << entry.path();
    }
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
    EXPECT_EQ(run.output,
              "1\nzoneloads-view: /dev/stdout: error al escribir (el lector de la tuber\xC3\xAD"
              "a se ha ido)\n");
    // 200 KiB: room for the zone sections' scratch file (about 175 kB), not for the page.
    run = runShell("(ulimit -f 400; " + exe + " casa.txt > /dev/null) 2>&1; echo \"status $?\"", "out.txt");
    EXPECT_EQ(run.output, "zoneloads-view: casa.html: error al escribir (fichero demasiado grande)\nstatus 1\n");
    EXPECT_EQ(readBytes("casa.html"), "old page");
    // The workbook's library does not check its own scratch files: a workbook
    // cut short is found and told, never put in place.
    writeBytes("b.xlsx", "old book");
    run = runShell("(ulimit -f 400; " + exe + " casa.txt -o /dev/null --xlsx b.xlsx > /dev/null) 2>&1; echo $?",
                   "out.txt");
    const std::string told = "zoneloads-view: b.xlsx: no se puede escribir el libro (";
    EXPECT_EQ(run.output.substr(0, told.size()), told) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - 2), "1\n");
    EXPECT_EQ(readBytes("b.xlsx"), "old book");
    // Too few files may be open for the workbook's sheets: told in one line,
    // in Spanish, before the library says anything.
    run = runShell("(ulimit -n 24; " + exe + " casa.txt -o /dev/null --xlsx b.xlsx > /dev/null) 2>&1; echo $?",
                   "out.txt");
    EXPECT_EQ(run.output,
              "zoneloads-view: b.xlsx: no se puede escribir el libro (6 hojas: hacen falta 38 ficheros abiertos a "
              "la vez y el sistema solo deja abrir 24)\n1\n");
    EXPECT_EQ(readBytes("b.xlsx"), "old book");
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
}

// A scratch folder that fills while the workbook is written, and empties
// again as the library deletes its files (a small disk): every run either
// writes a workbook that opens or says why and keeps the old one. Needs a
// small file system of its own: skipped where a test may not mount one.
TEST_F(ViewExecutable, AScratchFolderThatFillsNeverGivesABrokenWorkbook) {
    const std::string exe = std::string("\"") + VIEW_EXE + "\"";
    std::filesystem::create_directory("small");
    if (runShell("unshare -m sh -c 'mount -t tmpfs -o size=64k tmpfs small' 2>&1", "out.txt").status != 0) {
        GTEST_SKIP() << "no file system of its own may be mounted here";
    }
    int failed = 0;
    for (int kilobytes = 500; kilobytes <= 6000; kilobytes += 500) {
        SCOPED_TRACE(kilobytes);
        writeBytes("b.xlsx", "old book");
        testkit::ToolRun run = runShell("unshare -m sh -c 'mount -t tmpfs -o size=" + std::to_string(kilobytes) +
                                            "k tmpfs small && TMPDIR=small " + exe +
                                            " casa.txt -o /dev/null --xlsx b.xlsx > /dev/null' 2>&1",
                                        "out.txt");
        if (run.status != 0) {
            ++failed;
            EXPECT_EQ(run.output.rfind("zoneloads-view: b.xlsx: no se ", 0), 0u) << run.output;
            EXPECT_EQ(readBytes("b.xlsx"), "old book");
            continue;
        }
        testkit::ToolRun read = runShell(
            "/usr/bin/python3 \"" ZONELOADS_SOURCE_DIR "/testkit/read_workbook.py\" b.xlsx > /dev/null 2>&1", "r.txt");
        EXPECT_EQ(read.status, 0) << "a workbook reported as written does not open";
    }
    EXPECT_GT(failed, 0) << "no size was small enough to fail";
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
}

// An output option takes a file name, never an option or a name that
// starts like one: the usage and status 2, nothing written.
TEST_F(ViewExecutable, AnOutputOptionTakesAFileNameNotAnOption) {
    for (const char* arguments :
         {"casa.txt otra.txt --csv --comparar", "casa.txt --xlsx -h", "casa.txt -o -", "casa.txt --csv-es --version"}) {
        testkit::ToolRun run =
            runShell(std::string("\"") + VIEW_EXE + "\" " + arguments + " 2>&1; echo \"status $?\"", "out.txt");
        EXPECT_NE(run.output.find("falta el fichero tras "), std::string::npos) << arguments << ": " << run.output;
        EXPECT_EQ(run.output.substr(run.output.size() - 9), "status 2\n") << arguments;
    }
    for (const char* name : {"--comparar", "-h", "-", "--version", "casa.html"})
        EXPECT_FALSE(testkit::fileExists(name));
}

// A TMPDIR that names no usable folder is passed over alike by every
// scratch file: the page and the workbook are written all the same.
TEST_F(ViewExecutable, AnUnusableTemporaryFolderIsPassedOver) {
    testkit::ToolRun run = runShell(
        std::string("TMPDIR=/nonexistent/folder \"") + VIEW_EXE + "\" casa.txt --xlsx b.xlsx > /dev/null 2>&1; echo $?",
        "out.txt");
    EXPECT_EQ(run.output, "0\n");
    EXPECT_EQ(readBytes("b.xlsx").substr(0, 2), "PK");
    EXPECT_EQ(readBytes("casa.html").substr(0, 15), "<!DOCTYPE html>");
}

// Two outputs named alike are refused by what they are, before anything is
// written.
TEST_F(ViewExecutable, TwoOutputsOfOneFileAreNamedByWhatTheyAre) {
    testkit::ToolRun run = view("casa.txt -o x.html --xlsx x.html");
    EXPECT_EQ(run.output, "zoneloads-view: x.html: la p\xC3\xA1gina y el libro no pueden ser el mismo fichero\n");
    run = view("casa.txt --csv t.csv --csv-es ./t.csv");
    EXPECT_EQ(run.output,
              "zoneloads-view: ./t.csv: el CSV y el CSV en espa\xC3\xB1ol no pueden ser el mismo fichero\n");
    EXPECT_FALSE(testkit::fileExists("x.html"));
}

// Whatever fails, every old output keeps its bytes and no temporary is left:
// a full device for the page with a CSV beside it.
TEST_F(ViewExecutable, AFailedOutputKeepsEveryOtherOld) {
    writeBytes("t.csv", "old table");
    writeBytes("t.xlsx", "old book");
    testkit::ToolRun run = view("casa.txt -o /dev/full --csv t.csv --xlsx t.xlsx");
    EXPECT_EQ(run.output, "zoneloads-view: /dev/full: error al escribir (disco lleno)\n");
    EXPECT_EQ(readBytes("t.csv"), "old table");
    EXPECT_EQ(readBytes("t.xlsx"), "old book");
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
}

#if !defined(ZONELOADS_SANITIZED)
// With less and less memory, every run ends: with its outputs, or with one
// line and status 1, the old page kept and no temporary left. (A limit too
// small for the program to start at all is the system's own failure.)
TEST_F(ViewExecutable, RunsOutOfMemoryEndWithOneLine) {
    writeBytes("casa.html", "old page");
    bool toldOfMemory = false;
    for (int kib = 8000; kib <= 40000; kib += 1000) {
        testkit::ToolRun run = runShell("(ulimit -v " + std::to_string(kib) + "; \"" + VIEW_EXE +
                                            "\" casa.txt -o new.html > /dev/null) 2>&1; echo \"status $?\"",
                                        "out.txt");
        const std::string& out = run.output;
        if (out.find("status 127") != std::string::npos) continue;  // the system could not start it
        if (out == "status 0\n") {
            EXPECT_EQ(readBytes("new.html").substr(readBytes("new.html").size() - 8), "</html>\n") << kib;
        } else {
            EXPECT_EQ(out, "zoneloads-view: sin memoria\nstatus 1\n") << kib;
            toldOfMemory = true;
        }
        EXPECT_EQ(readBytes("casa.html"), "old page");
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            EXPECT_NE(entry.path().extension(), ".tmp") << kib << ": left behind: " << entry.path();
        }
    }
    EXPECT_TRUE(toldOfMemory);
}
#endif

// A table that cannot be written is an error, not a silent success.
TEST_F(ViewExecutable, LostTableIsAnError) {
    testkit::ToolRun run =
        runShell(std::string("\"") + VIEW_EXE + "\" casa.txt > /dev/full 2> err.txt; echo $?; cat err.txt", "out.txt");
    EXPECT_EQ(run.output, "1\nzoneloads-view: salida est\xC3\xA1ndar: error al escribir la tabla (disco lleno)\n");
    run = runShell(std::string("\"") + VIEW_EXE + "\" casa.txt >&- 2> err.txt; echo $?; cat err.txt", "out.txt");
    EXPECT_EQ(run.output.substr(0, 2), "1\n");
}
#endif

}  // namespace
}  // namespace zoneloads
