#include "view/workbook/workbook.h"
#include "view/workbook/sheet_names.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "common/platform.h"
#include "common/text_encoding.h"
#include "report/report.h"
#include "testkit/run_tool.h"
#include "testkit/zone_files.h"
#include "view/page/section_values.h"
#include "view/viewer.h"
#include "view/workbook_check/workbook_check.h"

namespace zoneloads {
namespace view {
namespace {

// A report of `blocks` zone blocks, to place in a workbook.
ReportFigures reportOf(const std::string& name, std::size_t blocks) {
    ReportFigures report;
    report.name = name;
    report.rows.resize(blocks + 1);
    for (std::size_t b = 0; b < blocks; ++b) report.rows[b].block = static_cast<int>(b) + 1;
    return report;
}

// The characters of UTF-8 text.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// The hourly sheets of each report are named after it, made unique as a
// spreadsheet compares names (whatever the case), cut at whole characters
// and told apart; a report of more zone blocks than a sheet holds continues
// on further sheets.
TEST(WorkbookSheets, NamedAfterTheReportsAndContinued) {
    WorkbookLimits limits;
    limits.zoneColumnsPerSheet = 2;
    std::vector<std::string> names = workbookSheetNames(
        {reportOf("casa.txt", 5), reportOf("sub/casa.txt", 2), reportOf("resumen.txt", 0), reportOf("[x]:*?.txt", 1),
         reportOf("A\xC3\xB1o 2024 con un nombre largo.txt", 1), reportOf("Caf\xC3\xA9.txt", 1),
         reportOf("CAF\xC3\x89.txt", 1), reportOf("Edificio_variante_con_ventanas_A1.txt", 1),
         reportOf("Edificio_variante_con_ventanas_A2.txt", 1), reportOf("C\xE1mara\x01.txt", 1)},
        limits);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Resumen", "Mensual",
                         "Gr\xC3\xA1"
                         "ficos",
                         "Duraci\xC3\xB3n",
                         "D\xC3\xAD"
                         "as pico",
                         "Horas casa", "Horas casa (2)", "Horas casa (3)", "Horas casa 2", "Horas resumen", "Horas x",
                         "Horas A\xC3\xB1o 2024 con\xE2\x80\xA6nombre largo", "Horas Caf\xC3\xA9",
                         "Horas CAF\xC3\x89 2", "Horas Edificio_var\xE2\x80\xA6_ventanas_A1",
                         "Horas Edificio_var\xE2\x80\xA6_ventanas_A2", "Horas C\xC3\xA1mara\xE2\x90\x81"}));
    for (const std::string& name : names) EXPECT_LE(characters(name), 31u) << name;

    // Letters of other alphabets are compared whatever their case too (a
    // final sigma as a sigma, full-width letters as others), and a name is
    // at most 31 UTF-16 units, as a spreadsheet counts them.
    std::string faces;  // 40 characters past U+FFFF, 80 units
    for (int i = 0; i < 40; ++i) faces += "\xF0\x9F\x98\x80";
    names = workbookSheetNames({reportOf("\xD2\x90.txt", 0), reportOf("\xD2\x91.txt", 0),          // Ґ ґ
                                reportOf("\xCF\x83.txt", 0), reportOf("\xCF\x82.txt", 0),          // σ ς
                                reportOf("\xEF\xBC\xA1.txt", 0), reportOf("\xEF\xBD\x81.txt", 0),  // Ａ ａ
                                reportOf("\xE1\xBA\xA0.txt", 0), reportOf("\xE1\xBA\xA1.txt", 0),  // Ạ ạ
                                reportOf(faces + ".txt", 0)},
                               limits);
    std::set<std::u32string> folded;
    for (std::size_t i = 5; i < names.size(); ++i) {
        std::u16string units = utf16FromUtf8(names[i]);
        EXPECT_LE(units.size(), 31u) << names[i];
        std::u32string upper = upperCase(std::u32string(units.begin(), units.end()));
        EXPECT_TRUE(folded.insert(upper).second) << names[i];
    }
    EXPECT_EQ(names[6], "Horas \xD2\x91 2");
    EXPECT_EQ(names[8], "Horas \xCF\x82 2");
}

// Tables too long for a sheet run on over further sheets, named after the
// first; nothing is left out.
TEST(WorkbookSheets, EveryTableContinues) {
    WorkbookLimits limits;
    limits.rowsPerSheet = 40;    // 39 rows under the header
    limits.columnsPerSheet = 3;  // 2 reports beside the hours
    std::vector<ReportFigures> reports = {reportOf("a.txt", 20), reportOf("b.txt", 3), reportOf("c.txt", 0)};
    for (ReportFigures& r : reports) {
        r.peakDays.assign(2 * r.rows.size(), PeakDay{});
        r.peakDays[0].firstHour = 0;  // one day: 24 rows a report
    }
    std::vector<std::string> names = workbookSheetNames(reports, limits, 50);
    // 26 summary rows, 50 differences, 78 monthly rows and one more for each
    // of 3 buildings, a chart's 22 rows for each of 3 reports, 3 duration
    // columns, 72 peak-day rows.
    const std::string comparison = "Comparaci\xC3\xB3n", charts =
                                                             "Gr\xC3\xA1"
                                                             "ficos";
    const std::string duration = "Duraci\xC3\xB3n", peakDays =
                                                        "D\xC3\xAD"
                                                        "as pico";
    EXPECT_EQ(names, (std::vector<std::string>{"Resumen", comparison, comparison + " (2)", "Mensual", "Mensual (2)",
                                               "Mensual (3)", charts, charts + " (2)", charts + " (3)", duration,
                                               duration + " (2)", peakDays, peakDays + " (2)", "Horas a", "Horas b",
                                               "Horas c"}));
}

class WorkbookTest : public testkit::ScratchDir {};

// A workbook is whole only when every sheet holds every byte of its rows:
// a piece of rows lost while the library copied them (a full disk for a
// moment), its tags still balanced, is found by the check of the file.
TEST_F(WorkbookTest, TheCheckOfTheFileFindsRowsMissing) {
    ReportFigures report = reportOf("a.txt", 0);
    for (std::vector<double>* column :
         {&report.building.qs, &report.building.ql, &report.building.qsNeg, &report.building.qsPos}) {
        column->assign(kHoursPerYear, 1.5);
    }
    ZoneQsFile hours;
    ASSERT_TRUE(openScratch(hours.scratch, "horas"));
    WrittenSheets written;
    std::string error;
    ASSERT_TRUE(writeWorkbook("a.xlsx", "", {report}, {}, hours, WorkbookLimits{}, written, error)) << error;
    ASSERT_EQ(written.rowBytes.size(), 6u);  // Resumen, Mensual, Graficos, Duracion, Dias pico, Horas a
    EXPECT_EQ(written.rowBytes[2], 0);       // the charts' sheet has no rows
    EXPECT_GT(written.rowBytes[5], 8760 * 50);
    std::FILE* book = std::fopen("a.xlsx", "rb");
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(workbookIsWhole(book, written));
    for (std::size_t sheet : {0u, 5u}) {
        WrittenSheets lost = written;
        lost.rowBytes[sheet] += 4096;  // as if a piece of its rows had been written and lost
        EXPECT_FALSE(workbookIsWhole(book, lost)) << sheet;
    }
    EXPECT_FALSE(workbookIsWhole(book, WrittenSheets{}));
    std::fclose(book);
}

// A workbook of a report of five zone blocks, two to a sheet: three hourly
// sheets, all in the file, which is put in place like the page.
TEST_F(WorkbookTest, ContinuesOnFurtherSheets) {
    std::vector<std::unique_ptr<ZoneRecord>> zones;
    std::vector<const ZoneRecord*> pointers;
    for (int i = 0; i < 5; ++i) {
        zones.push_back(testkit::makeZone("Z" + std::to_string(i), i));
        pointers.push_back(zones.back().get());
    }
    testkit::writeZoneFile("zones.bin", 5, pointers);
    std::string error;
    ASSERT_TRUE(
        writeReport(testkit::openZones("zones.bin"), "zones.bin", "a.txt", ZoneSelection{{0, 1, 2, 3, 4}, ""}, error))
        << error;
    ViewerOptions options;
    options.reports = {"a.txt"};
    options.page = "a.html";
    options.xlsx = "a.xlsx";
    options.workbookLimits.zoneColumnsPerSheet = 2;
    std::vector<SummaryRow> rows;
    ASSERT_TRUE(writeViewerOutputs(options, 2, rows, error)) << error;
    std::string book = testkit::readBytes("a.xlsx");
    ASSERT_EQ(book.substr(0, 2), "PK");  // a zip file
    // The zip's directory names each sheet's part: Resumen, Mensual,
    // Graficos, Duracion, Dias pico and the three hourly sheets.
    for (int sheet = 1; sheet <= 8; ++sheet) {
        EXPECT_NE(book.find("xl/worksheets/sheet" + std::to_string(sheet) + ".xml"), std::string::npos) << sheet;
    }
    EXPECT_EQ(book.find("xl/worksheets/sheet9.xml"), std::string::npos);
    EXPECT_NE(book.find("xl/charts/chart2.xml"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

#ifndef _WIN32
// The workbook as a spreadsheet program reads it (openpyxl, which refuses a
// file that is not valid), one line per cell: "SHEET!CELL TYPE VALUE".
// With "--layout", how each sheet reads as opened (widths, frozen panes,
// filters and number formats).
std::vector<std::string> readBack(const std::string& book, const std::string& how = "") {
    testkit::ToolRun run = testkit::runShell(
        "/usr/bin/python3 \"" ZONELOADS_SOURCE_DIR "/testkit/read_workbook.py\" " + how + " " + book + " 2>&1",
        "cells.txt");
    std::vector<std::string> lines;
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A workbook of values no spreadsheet number holds, of a report whose file
// name is not UTF-8 and holds a control byte, and of more peak days than a
// sheet holds: every cell valid (the values as the report writes them, the
// names as the page shows them), every sheet named uniquely, nothing left out.
TEST_F(WorkbookTest, ReadsBackValidWhateverTheValuesAndNames) {
    auto a = testkit::makeZone("Sala\x07", 1);
    auto b = testkit::makeZone("C\xE1mara", 2);
    a->Qs[100] = std::numeric_limits<float>::infinity();
    b->Qs[200] = -std::numeric_limits<float>::infinity();
    b->QL[300] = std::numeric_limits<float>::quiet_NaN();
    testkit::writeZoneFile("zones.bin", 2, {a.get(), b.get()});
    const std::string name = "C\xE1mara\x01.txt";
    std::string error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", name, ZoneSelection{{0, 1}, ""}, error))
        << error;
    ViewerOptions options;
    options.reports = {name};
    options.page = "a.html";
    options.xlsx = "a.xlsx";
    options.workbookLimits.rowsPerSheet = 50;  // 49 rows a sheet: a peak day's 24 rows twice
    std::vector<SummaryRow> rows;
    ASSERT_TRUE(writeViewerOutputs(options, 2, rows, error)) << error;
    std::vector<std::string> cells = readBack("a.xlsx");
    ASSERT_FALSE(cells.empty());
    ASSERT_EQ(cells[0], "== Resumen") << cells[0];
    const std::string shown = "C\xC3\xA1mara\xE2\x90\x81.txt";  // the page's way: a 1252 name, a control picture
    EXPECT_TRUE(has(cells, "== Horas C\xC3\xA1mara\xE2\x90\x81"));
    EXPECT_TRUE(has(cells, "Resumen!A2 s '" + shown + "'"));
    EXPECT_TRUE(has(cells, "Resumen!C2 s 'Sala\xE2\x90\x87'"));
    // The values no spreadsheet number holds are the report's text: zone a's
    // cooling peak, sensible + latent peak and energies (summed and net),
    // zone b's heating peak and energies (as magnitudes).
    auto textsOnRow = [&cells](const std::string& row, const std::string& text) {
        int n = 0;
        for (const std::string& line : cells) {
            n += line.rfind("Resumen!", 0) == 0 && line.find(row + " s '" + text + "'") != std::string::npos;
        }
        return n;
    };
    EXPECT_EQ(textsOnRow("2", "inf"), 4);
    EXPECT_EQ(textsOnRow("3", "inf"), 3);
    // Six peak days (cooling and heating of two zones and the building), 144
    // rows, over three sheets of 48.
    const std::string peakDays =
        "D\xC3\xAD"
        "as pico";
    std::size_t peakRows = 0;
    std::vector<std::string> peakSheets;
    for (const std::string& line : cells) {
        if (line.rfind("== " + peakDays, 0) == 0) peakSheets.push_back(line.substr(3));
        if (line.rfind(peakDays, 0) == 0 && line.find("!E") != std::string::npos &&
            line.find(" d ") != std::string::npos) {
            ++peakRows;
        }
    }
    EXPECT_EQ(peakSheets, (std::vector<std::string>{peakDays, peakDays + " (2)", peakDays + " (3)"}));
    EXPECT_EQ(peakRows, 6u * 24u);
    for (const std::string& line : cells) {
        for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << line;
    }
}

// The column of a header, by its label, in the cells read back of `sheet`.
std::string columnOf(const std::vector<std::string>& cells, const std::string& sheet, const std::string& label) {
    for (const std::string& line : cells) {
        std::size_t end = line.find("1 s '" + label + "'");
        if (line.rfind(sheet + "!", 0) == 0 && end != std::string::npos) {
            return line.substr(sheet.size() + 1, end - sheet.size() - 1);
        }
    }
    return "none";
}

// What is undefined is shown as undefined: a building that never heats and
// whose cooling peaks are infinite has no factor de simultaneidad (empty
// cells, a dash on the page, never 0, 0,0 % or -nan); a zone compared has no
// simultaneous heating (empty cells, not 0); a month of infinite energy says
// so on the page as in the workbook; the duration chart covers the building's
// hours that are numbers, as its sheet holds them.
TEST_F(WorkbookTest, UndefinedIsShownAsUndefined) {
    auto a = testkit::makeZone("A", 150);  // Qs never below 0: no heating
    auto b = testkit::makeZone("B", 200);
    a->Qs[100] = std::numeric_limits<float>::infinity();  // 5 January
    b->Qs[5000] = std::numeric_limits<float>::quiet_NaN();
    testkit::writeZoneFile("zones.bin", 2, {a.get(), b.get()});
    std::string error;
    for (const char* report : {"a.txt", "b.txt"}) {
        ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", report, ZoneSelection{{0, 1}, ""}, error))
            << error;
    }
    ViewerOptions options;
    options.reports = {"a.txt", "b.txt"};
    options.compare = true;
    options.page = "a.html";
    options.csv = "a.csv";
    options.xlsx = "a.xlsx";
    std::vector<SummaryRow> rows;
    ASSERT_TRUE(writeViewerOutputs(options, 2, rows, error)) << error;

    std::vector<std::string> cells = readBack("a.xlsx");
    const std::string comparison = "Comparaci\xC3\xB3n";
    for (const char* part : {"refrigeraci\xC3\xB3n", "calefacci\xC3\xB3n"}) {
        std::string factor = columnOf(cells, "Resumen", std::string("Factor de simultaneidad de ") + part);
        ASSERT_NE(factor, "none");
        for (const std::string& line : cells) EXPECT_NE(line.rfind("Resumen!" + factor + "4 ", 0), 0u) << line;
    }
    const std::string simultaneous =
        columnOf(cells, comparison, "Calefacci\xC3\xB3n y refrigeraci\xC3\xB3n simult\xC3\xA1neas [kWh] base");
    ASSERT_NE(simultaneous, "none");
    EXPECT_TRUE(has(cells, comparison + "!" + simultaneous + "4 n 0"));  // the buildings'
    for (const std::string& line : cells) {
        for (const char* zoneRow : {"2 ", "3 "})
            EXPECT_NE(line.rfind(comparison + "!" + simultaneous + zoneRow, 0), 0u);
    }
    std::vector<std::string> csv = testkit::reportLines(testkit::readBytes("a.csv"));
    ASSERT_EQ(csv.size(), 1u + 6u + 1u + 1u + 3u);
    for (std::size_t zone : {9u, 10u}) EXPECT_EQ(csv[zone].substr(csv[zone].size() - 5), ",,,,,") << csv[zone];
    // Zone A's infinite peaks differ by no number: an empty difference, not -nan.
    EXPECT_EQ(csv[9].substr(0, 27), "a.txt,b.txt,A,1,1,inf,inf,,") << csv[9];
    EXPECT_EQ(csv[9].find("nan"), std::string::npos) << csv[9];

    const std::string page = testkit::readBytes("a.html");
    EXPECT_NE(page.find("refrigeraci&oacute;n &mdash;, calefacci&oacute;n &mdash;"), std::string::npos);
    EXPECT_EQ(page.find("0,0 %"), std::string::npos);
    EXPECT_EQ(page.find("nan %"), std::string::npos);
    // The building's infinite January, for its bar's value under the pointer: "inf".
    const std::string figures = R"(<div class="figs building" data-f=")";
    std::size_t at = page.find(figures) + figures.size();
    std::istringstream list(page.substr(at, page.find('"', at) - at));
    std::vector<std::string> words{std::istream_iterator<std::string>(list), std::istream_iterator<std::string>()};
    ASSERT_EQ(words.size(), static_cast<std::size_t>(kFigureFields));
    EXPECT_EQ(words[kCoolingMonthsField], "inf");

    testkit::ToolRun charts = testkit::runShell(
        "/usr/bin/python3 -c \"import zipfile; z = zipfile.ZipFile('a.xlsx'); "
        "print(''.join(z.read(n).decode() for n in z.namelist() if n.startswith('xl/charts/')))\"",
        "charts.txt");
    EXPECT_NE(charts.output.find("$A$2:$A$8760<"), std::string::npos);
    EXPECT_NE(charts.output.find("$B$2:$B$8760<"), std::string::npos);
    EXPECT_EQ(charts.output.find("$8761"), std::string::npos);
}

// The workbook as an engineer opens it: Spanish sheet names, every header
// readable over its three lines, headers and names frozen, the summary
// filtered, numbers formatted by their unit, heating as a magnitude (the
// CSV keeps the report's sign), a zone reported twice told apart.
TEST_F(WorkbookTest, ReadsAsOpened) {
    auto aula = testkit::makeZone("Aula", 1);
    auto sala = testkit::makeZone("Sala", 2);
    testkit::writeZoneFile("zones.bin", 2, {aula.get(), sala.get()});
    std::string error;
    ASSERT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", "a.txt", ZoneSelection{{0, 1, 0}, ""}, error))
        << error;
    ViewerOptions options;
    options.reports = {"a.txt"};
    options.page = "a.html";
    options.xlsx = "a.xlsx";
    options.csv = "a.csv";
    std::vector<SummaryRow> rows;
    ASSERT_TRUE(writeViewerOutputs(options, 2, rows, error)) << error;
    std::vector<std::string> cells = readBack("a.xlsx");
    std::vector<std::string> sheets;
    for (const std::string& line : cells) {
        if (line.rfind("== ", 0) == 0) sheets.push_back(line.substr(3));
    }
    EXPECT_EQ(sheets, (std::vector<std::string>{"Resumen", "Mensual",
                                                "Gr\xC3\xA1"
                                                "ficos",
                                                "Duraci\xC3\xB3n",
                                                "D\xC3\xAD"
                                                "as pico",
                                                "Horas a"}));
    auto column = [&cells](const std::string& label) { return columnOf(cells, "Resumen", label); };
    const std::string heating = column("Punta de calefacci\xC3\xB3n [W]");
    EXPECT_TRUE(has(cells, "Resumen!" + heating + "2 n " + rows[0].figures.qsCal.text.substr(1))) << heating;
    EXPECT_EQ(rows[0].figures.qsCal.text.front(), '-');
    const std::string csvRow = testkit::reportLines(testkit::readBytes("a.csv"))[1];
    EXPECT_EQ(csvRow.substr(0, csvRow.find(",Aula,") + 6), "a.txt,1,Aula,");
    EXPECT_NE(csvRow.find("," + rows[0].figures.qsCal.text + ","), std::string::npos) << csvRow;
    EXPECT_TRUE(has(cells, "Horas a!B1 s 'Aula (bloque 1) [W]'"));
    EXPECT_TRUE(has(cells, "Horas a!C1 s 'Sala [W]'"));
    EXPECT_TRUE(has(cells, "Horas a!D1 s 'Aula (bloque 3) [W]'"));

    std::vector<std::string> layout = readBack("a.xlsx", "--layout");
    for (const char* line : {"Resumen freeze D2", "Mensual freeze E2", "Horas a freeze B2", "Resumen filter A1:AH5"}) {
        EXPECT_TRUE(has(layout, line)) << line;
    }
    EXPECT_TRUE(has(layout, "Resumen!" + heating + "2 format 0.0"));
    EXPECT_TRUE(has(layout, "Resumen!" + column("Fecha de la punta de refrigeraci\xC3\xB3n") + "2 format dd/mm hh:mm"));
    EXPECT_TRUE(has(layout, "Resumen!" + column("Factor de simultaneidad de refrigeraci\xC3\xB3n") + "5 format 0.0%"));
    EXPECT_TRUE(has(layout, "Resumen!" + column("Horas de refrigeraci\xC3\xB3n (Qs > 0) [h]") + "2 format 0"));
    // Each header fits its column's width on three lines.
    for (const std::string& line : cells) {
        std::size_t text = line.find("1 s '");
        if (line.rfind("Resumen!", 0) != 0 || text == std::string::npos) continue;
        std::string letter = line.substr(8, text - 8);
        std::string header = line.substr(text + 5, line.size() - text - 6);
        double width = 0;
        for (const std::string& l : layout) {
            if (l.rfind("Resumen width " + letter + " ", 0) == 0) width = std::stod(l.substr(15 + letter.size()));
        }
        EXPECT_GE(3 * width, static_cast<double>(characters(header))) << header;
    }
}
#endif

}  // namespace
}  // namespace view
}  // namespace zoneloads
