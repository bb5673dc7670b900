#include "view/tables/csv.h"

#include <gtest/gtest.h>

#include "common/number_display.h"
#include "common/text_encoding.h"
#include "testkit/zone_files.h"
#include "view/figures/summary_columns.h"
#include "view/tables/console_table.h"

namespace zoneloads {
namespace view {
namespace {

// A row of known figures: a QsREF peak of `qsRef` W at hour `refHour`, a
// QsCAL peak of `qsCal` at `calHour`.
SummaryRow madeRow(const std::string& report, int block, const std::string& zone, double qsRef, int refHour,
                   double qsCal, int calHour) {
    SectionFigures f;
    f.qsRef = {qsRef, general6(qsRef), refHour};
    f.qsCal = {qsCal, general6(qsCal), calHour};
    f.qsPosWh = 1234567.5;
    f.qsNegWh = -563968;
    f.qlWh = 0;
    f.hoursQsPos = 3;
    f.hoursQsNeg = 4;
    return zoneRow(report, zone, block, f);
}

// The lines of a CSV without their line ends.
std::vector<std::string> linesOf(const std::string& csv) { return testkit::reportLines(csv); }

TEST(Csv, QuotesOnlyWhereNeeded) {
    EXPECT_EQ(csvLine({"a.txt", "1", "Sala, \"A\"", "5"}), "a.txt,1,\"Sala, \"\"A\"\"\",5");
    EXPECT_EQ(csvLine({"a", "", "b"}), "a,,b");
    // The first twelve columns as they always were, the dates and the sums
    // of zone peaks after them.
    EXPECT_EQ(linesOf(scriptCsv({}, {}))[0],
              "informe,bloque,zona,QsREF_max[W],hora_QsREF_max,QsCAL_max[W],hora_QsCAL_max,Qs_pos[kWh],"
              "Qs_neg[kWh],QL[kWh],horas_Qs_pos,horas_Qs_neg,fecha_QsREF_max,fecha_QsCAL_max,"
              "suma_QsREF_max_zonas,suma_QsCAL_max_zonas,QL_max[W],fecha_QL_max,QsQL_max[W],fecha_QsQL_max,"
              "horas_T_sobre_max,horas_T_bajo_min,Kh_sobre_max,Kh_bajo_min,bloque_mas_horas_fuera,Qs_pos_neto[kWh],"
              "Qs_neg_neto[kWh],horas_T_sobre_max_zonas,horas_T_bajo_min_zonas,Qs_simultaneo[kWh],"
              "horas_Qs_simultaneo,Qs_simultaneo_max[W],fecha_Qs_simultaneo_max,tolerancia_T[K],numero_zona");
}

// A zone is named as zoneloads lists it: from a zone results file by its
// number, which both CSVs add as their last column; from a report, which
// holds none, by its block, the column empty; the building by TOTAL.
TEST(Csv, ZonesNamedAsZoneloadsListsThem) {
    SummaryRow fromZoneFile = madeRow("a.bin", 4, "P00 Z03 Aseo", 1, 1, -1, 1);
    fromZoneFile.zoneNumber = 3;
    SummaryRow fromReport = madeRow("a.txt", 4, "P00 Z03 Aseo", 1, 1, -1, 1);
    SummaryRow building = buildingRow("a.bin", fromZoneFile.figures, {fromZoneFile});
    EXPECT_EQ(zoneLabel(fromZoneFile, "P00 Z03 Aseo"), "3 \u00b7 P00 Z03 Aseo");
    EXPECT_EQ(zoneLabel(fromReport, "P00 Z03 Aseo"), "bloque 4 \u00b7 P00 Z03 Aseo");
    EXPECT_EQ(zoneLabel(building, ""), "TOTAL");
    EXPECT_EQ(zoneNumberText(0, 1), "0");
    EXPECT_EQ(building.worstZoneNumber, -1);  // no hour outside: no worst zone
    std::vector<SummaryRow> rows = {fromZoneFile, building, fromReport};
    std::vector<std::string> script = linesOf(scriptCsv(rows, {})), spanish = linesOf(spanishCsv(rows));
    EXPECT_EQ(spanish[0].substr(spanish[0].rfind(';')), ";N\xFAmero de zona");
    const char* firstColumns[] = {"a.bin,4,P00 Z03 Aseo,", "a.bin,TOTAL,,", "a.txt,4,P00 Z03 Aseo,"};
    for (std::size_t i = 1; i <= rows.size(); ++i) {
        EXPECT_EQ(script[i].rfind(firstColumns[i - 1], 0), 0u) << script[i];  // as before
        std::string last = script[i].substr(script[i].rfind(',') + 1);
        EXPECT_EQ(last, i == 1 ? "3" : "") << script[i];
        EXPECT_EQ(spanish[i].substr(spanish[i].rfind(';') + 1), last) << spanish[i];
    }
}

// The building's row adds the sums of its zone blocks' peaks, and the dates
// of the peaks come after the first twelve columns.
TEST(Csv, DatesAndSumsOfZonePeaks) {
    std::vector<SummaryRow> rows = {madeRow("a.txt", 1, "A", 500, 0, -250.5, 1416),
                                    madeRow("a.txt", 2, "B", 0, -1, -1, 8759)};
    SummaryRow made = madeRow("a.txt", 0, "", 480, 4741, -251, 1416);
    rows.push_back(buildingRow("a.txt", made.figures, rows));
    std::vector<std::string> lines = linesOf(scriptCsv(rows, {}));
    ASSERT_EQ(lines.size(), 4u);
    auto first16 = [](const std::string& line) {
        std::size_t at = 0;
        for (int i = 0; i < 16; ++i) at = line.find(',', at) + 1;
        return line.substr(0, at - 1);
    };
    EXPECT_EQ(first16(lines[1]), "a.txt,1,A,500,0,-250.5,1416,1234.57,-563.968,0,3,4,01/01 00:00,01/03 00:00,,");
    EXPECT_EQ(first16(lines[2]), "a.txt,2,B,0,,-1,8759,1234.57,-563.968,0,3,4,,31/12 23:00,,");
    EXPECT_EQ(first16(lines[3]),
              "a.txt,TOTAL,,480,4741,-251,1416,1234.57,-563.968,0,3,4,17/07 13:00,01/03 00:00,500,-251.5");
}

// The Spanish-locale CSV: ";" between fields, decimal commas, full dates,
// Windows-1252, CR LF; names that look like formulas stay text.
TEST(SpanishCsv, OpensAsNumbersInASpanishSpreadsheet) {
    std::vector<SummaryRow> rows = {madeRow("A\xC3\xB1o.txt", 1, "=HYPERLINK(\"x\")", 1.5e6, 4741, -0.25, 0),
                                    madeRow("b.txt", 2, "-1 planta;2", 12, 1, -3, 2),
                                    madeRow("b.txt", 3,
                                            "@\x01"
                                            "C\xE1mara",
                                            1, 1, -1, 1)};
    std::string csv = spanishCsv(rows);
    std::vector<std::string> lines = linesOf(csv);
    ASSERT_EQ(lines.size(), 4u);
    // Readable headers, in the file's Windows-1252.
    EXPECT_EQ(lines[0].substr(0, 47), "Informe;Bloque;Zona;Punta de refrigeraci\xF3n [W];");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(";;") + 2),
              "A\xF1o.txt;1;\"'=HYPERLINK(\"\"x\"\")\";1,5e+06;4741;-0,25;0;1234,57;-563,968;0;3;4;"
              "17/07/2018 13:00;01/01/2018 00:00;;");
    EXPECT_EQ(lines[2].substr(0, 23), "b.txt;2;\"'-1 planta;2\";");
    EXPECT_EQ(lines[3].substr(0, 18),
              "b.txt;3;'@\x01"
              "C\xE1mara;");
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    EXPECT_EQ(csv.find("\xEF\xBB\xBF"), std::string::npos);
}

// By default the table fits a console window of 120 columns: a line names
// the report, long zone names are cut, heating peaks are magnitudes,
// numbers have a decimal comma; with every column, the CSV's names head it.
TEST(ConsoleTable, FitsAWindowWithDatesAndMagnitudes) {
    std::vector<SummaryRow> rows = {madeRow("a.txt", 1, std::string(60, 'Z'), 10.5, 4741, -2.5, 7),
                                    madeRow("a.txt", 0, "", 1000, 5, -2, 7)};
    std::string text = consoleTable(rows);
    EXPECT_EQ(text.substr(0, text.find('\n')), "Informe a.txt");
    std::vector<std::size_t> widths;
    for (std::size_t at = text.find('\n') + 1; at < text.size(); at = text.find('\n', at) + 1) {
        widths.push_back(text.find('\n', at) - at);
    }
    ASSERT_EQ(widths.size(), 3u);
    for (std::size_t w : widths) {
        EXPECT_LE(w, 120u) << text;
        EXPECT_EQ(w, widths[0]) << text;  // right-aligned numbers end together
    }
    EXPECT_NE(text.find("ZZZZZZ~"), std::string::npos) << text;
    EXPECT_NE(text.find(" 10,5  17 jul 13:00 "), std::string::npos) << text;
    EXPECT_NE(text.find(" 2,5  1 ene 07:00 "), std::string::npos) << text;  // heating: its magnitude
    EXPECT_EQ(text.find("-2,5"), std::string::npos);
    std::string full = consoleTable(rows, false, true);
    EXPECT_EQ(full.substr(0, 15), "informe  bloque");
    EXPECT_NE(full.find("hora_QsREF_max"), std::string::npos);
    EXPECT_NE(full.find("1234,57"), std::string::npos);
}

// On a terminal no control byte of a name gets through: ESC and BEL show as
// their pictures, as on the page, and columns still line up by character.
TEST(ConsoleTable, ControlBytesNeverReachATerminal) {
    std::vector<SummaryRow> rows = {madeRow("a.txt", 1, "\x1B]0;titulo\x07\x1B[2J", 10, 5, -2, 7),
                                    madeRow("a.txt", 2, "C\xE1mara\r\n\x81", 1000, 5, -2, 7)};
    std::string text = consoleTable(rows, true);
    for (char c : text) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
    EXPECT_NE(text.find("\xE2\x90\x9B]0;titulo\xE2\x90\x87\xE2\x90\x9B[2J"), std::string::npos);  // ESC, BEL
    EXPECT_NE(text.find("C\xC3\xA1mara\xE2\x90\x8D\xE2\x90\x8A\\x81"), std::string::npos);
    // Piped, the names keep every character, in UTF-8, line breaks as blanks.
    std::string piped = consoleTable(rows);
    EXPECT_NE(piped.find("\x1B]0;titulo\x07\x1B[2J"), std::string::npos);
    EXPECT_NE(piped.find("C\xC3\xA1mara  \xC2\x81"), std::string::npos);
}

// Each output in one encoding whatever the names' own: a zone's name is
// Windows-1252 unless it is UTF-8, a report's is UTF-8 (on Windows always)
// unless it is not; the script CSV and the table in UTF-8, the Spanish CSV
// in Windows-1252, a character it lacks as its code point.
TEST(Csv, EveryOutputInOneEncoding) {
    const std::string utf8Report = "A\xC3\xB1o.txt", byteReport = "C\xE1lculo.txt";
    std::vector<SummaryRow> rows = {madeRow(utf8Report, 1, "C\xE1mara", 1, 1, -1, 1),
                                    madeRow(utf8Report, 2, "A\xC3\xB1o \xE6\x8A\xA5", 1, 1, -1, 1),
                                    madeRow(byteReport, 1, "Sal\xF3n", 1, 1, -1, 1)};
    const std::string script = scriptCsv(rows, {});
    const std::string windowTable = consoleTable(rows), fullTable = consoleTable(rows, false, true);
    const std::string terminal = consoleTable(rows, true);
    for (const std::string* utf8 : {&script, &windowTable, &fullTable, &terminal}) {
        EXPECT_TRUE(isValidUtf8(*utf8)) << *utf8;
        for (const char* name : {"C\xC3\xA1mara", "A\xC3\xB1o \xE6\x8A\xA5", "Sal\xC3\xB3n", "C\xC3\xA1lculo.txt"}) {
            EXPECT_NE(utf8->find(name), std::string::npos) << name << " in\n" << *utf8;
        }
    }
    EXPECT_NE(script.find("A\xC3\xB1o.txt,1,C\xC3\xA1mara,"), std::string::npos) << script;
    const std::string spanish = spanishCsv(rows);
    for (const char* name :
         {"A\xF1o.txt;1;C\xE1mara;", "A\xF1o.txt;2;A\xF1o <U+62A5>;", "C\xE1lculo.txt;1;Sal\xF3n;"}) {
        EXPECT_NE(spanish.find(name), std::string::npos) << name << " in\n" << spanish;
    }
    DifferenceRow difference{utf8Report, byteReport, false, "C\xE1mara", 1, 1, {}, -1, -1};
    EXPECT_EQ(csvLine(differenceFields(difference)), "A\xC3\xB1o.txt,C\xC3\xA1lculo.txt,C\xC3\xA1mara,1,1");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
