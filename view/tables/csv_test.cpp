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

// The lines of a table, each ended by LF.
std::vector<std::string> tableLines(const std::string& table) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < table.size(); at = table.find('\n', at) + 1) {
        lines.push_back(table.substr(at, table.find('\n', at) - at));
    }
    return lines;
}

// The characters of UTF-8 text: the columns it takes.
std::size_t chars(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// The column of a line's `k`-th comma (0 ..), or npos.
std::size_t commaAt(const std::string& line, int k) {
    std::size_t at = std::string::npos;
    for (int i = 0; i <= k; ++i) at = line.find(',', at == std::string::npos ? 0 : at + 1);
    return at == std::string::npos ? at : chars(line.substr(0, at));
}

// By default the table fits a console window of 120 columns: a line names
// the report, each zone block goes by its label (long names cut), heating
// peaks are magnitudes, figures in their quantity's decimals with grouped
// thousands, right-aligned.
TEST(ConsoleTable, FitsAWindowWithLabelsDatesAndMagnitudes) {
    std::vector<SummaryRow> rows = {madeRow("a.txt", 1, std::string(60, 'Z'), 10.5, 4741, -2.5, 7),
                                    madeRow("a.txt", 12, "Aula", 382138.4, 0, -12345.6, 8759)};
    rows.push_back(buildingRow("a.txt", rows[1].figures, rows));
    std::string text = consoleTable(rows);
    std::vector<std::string> lines = tableLines(text);
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines[0], "Informe a.txt");
    EXPECT_EQ(lines[1].substr(0, 6), "zona  ");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LE(chars(lines[i]), 120u) << text;
        EXPECT_EQ(chars(lines[i]), chars(lines[1])) << text;  // right-aligned numbers end together
    }
    EXPECT_EQ(lines[2].rfind("bloque 1 \u00b7 ZZZZ", 0), 0u) << text;
    EXPECT_NE(lines[2].find("Z~ "), std::string::npos) << text;
    EXPECT_EQ(lines[3].rfind("bloque 12 \u00b7 Aula ", 0), 0u) << text;
    EXPECT_EQ(lines[4].rfind("TOTAL ", 0), 0u) << text;
    EXPECT_NE(lines[2].find(" 11  17 jul 13:00 "), std::string::npos) << text;  // 10.5 W: whole watts
    EXPECT_NE(lines[2].find(" 3   1 ene 07:00 "), std::string::npos) << text;   // heating: its magnitude
    EXPECT_NE(lines[3].find(" 382.138   1 ene 00:00 "), std::string::npos) << text;
    EXPECT_NE(lines[3].find(" 12.346  31 dic 23:00 "), std::string::npos) << text;
    EXPECT_NE(lines[3].find(" 1.235 "), std::string::npos) << text;  // 1234.57 kWh: whole kWh
    EXPECT_EQ(text.find('-'), std::string::npos) << text;
}

// Every column of the CSV, the zone's label first; heating figures as
// magnitudes under names that say calefaccion, the CSV's signed names
// nowhere; decimal commas one under another.
TEST(ConsoleTable, FullTableHeatingAsMagnitudesCommasInLine) {
    std::vector<SummaryRow> rows = {madeRow("a.bin", 1, "A", 10.5, 4741, -2.5, 7),
                                    madeRow("a.bin", 2, "B", 1, 1, -1, 1)};
    rows[0].zoneNumber = 0;
    rows[1].zoneNumber = 1;
    rows[0].figures.degreeHoursAbove = 0.25;
    rows[1].figures.degreeHoursAbove = 1234.5;
    rows[1].figures.hoursAbove = 3;
    rows.push_back(buildingRow("a.bin", rows[1].figures, rows));
    std::vector<std::string> lines = tableLines(consoleTable(rows, false, true));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("informe  zona  ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("a.bin    0 \u00b7 A  ", 0), 0u) << lines[1];
    for (const SummaryColumn* c : csvColumns()) {
        if (!c->magnitude) continue;
        EXPECT_EQ(lines[0].find(std::string(" ") + c->name + " "), std::string::npos) << c->name;
    }
    for (const char* heating : {"calefacci\u00f3n_max[W]", "calefacci\u00f3n[kWh]",
                                "suma_calefacci\u00f3n_max_zonas[W]", "calefacci\u00f3n_neta[kWh]"}) {
        EXPECT_NE(lines[0].find(heating), std::string::npos) << heating;
    }
    EXPECT_NE(lines[0].find(" zona_mas_horas_fuera "), std::string::npos);
    for (const std::string& line : lines) EXPECT_EQ(line.find(" -"), std::string::npos) << line;
    // Degree-hours (0,3 and 1.234,5) and the tolerance (0,20): the first and
    // second comma of every row stand in one column.
    for (int k : {0, 1}) {
        EXPECT_NE(commaAt(lines[1], k), std::string::npos);
        EXPECT_EQ(commaAt(lines[1], k), commaAt(lines[2], k)) << lines[1] << "\n" << lines[2];
        EXPECT_EQ(commaAt(lines[1], k), commaAt(lines[3], k)) << lines[1] << "\n" << lines[3];
    }
    EXPECT_NE(lines[2].find(" 1.234,5 "), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find(" 1 "), std::string::npos) << lines[3];  // zone 1, the one with hours outside
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
