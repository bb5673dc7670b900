#include "view/summary_table.h"

#include <gtest/gtest.h>

namespace zoneloads {
namespace view {
namespace {

TEST(Csv, QuotesOnlyWhereNeeded) {
    EXPECT_EQ(csvLine({"a.txt", "1", "Sala, \"A\"", "5"}), "a.txt,1,\"Sala, \"\"A\"\"\",5");
    EXPECT_EQ(csvLine({"a", "", "b"}), "a,,b");
    EXPECT_EQ(std::string(kCsvHeader),
              "informe,bloque,zona,QsREF_max[W],hora_QsREF_max,QsCAL_max[W],hora_QsCAL_max,Qs_pos[kWh],"
              "Qs_neg[kWh],QL[kWh],horas_Qs_pos,horas_Qs_neg");
}

TEST(TextTable, AlignsColumns) {
    std::string text = textTable({{"a.txt", "1", "Z", "10", "5", "-2", "7", "1", "-1", "0", "3", "4"},
                                  {"a.txt", "TOTAL", "", "1000", "5", "-2", "7", "1", "-1", "0", "3", "4"}});
    std::size_t first = text.find('\n');
    std::size_t second = text.find('\n', first + 1);
    // Every line as long as the header: right-aligned numbers end together.
    EXPECT_EQ(second - first - 1, first);
    EXPECT_NE(text.find("     10  "), std::string::npos);
}

// On a terminal no control byte of a name gets through: ESC and BEL show as
// their pictures, as on the page, and columns still line up by character.
TEST(TextTable, ControlBytesNeverReachATerminal) {
    std::vector<SummaryRow> rows = {{"a.txt", "1", "\x1B]0;titulo\x07\x1B[2J", "10", "5", "-2", "7", "1", "-1", "0", "3", "4"},
                                    {"a.txt", "2", "C\xE1mara\r\n\x81", "1000", "5", "-2", "7", "1", "-1", "0", "3", "4"}};
    std::string text = textTable(rows, true);
    for (char c : text) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
    EXPECT_NE(text.find("\xE2\x90\x9B]0;titulo\xE2\x90\x87\xE2\x90\x9B[2J"), std::string::npos);  // ESC, BEL
    EXPECT_NE(text.find("C\xC3\xA1mara\xE2\x90\x8D\xE2\x90\x8A\\x81"), std::string::npos);
    // Piped, the names are the report's bytes, line breaks as blanks.
    std::string piped = textTable(rows);
    EXPECT_NE(piped.find("\x1B]0;titulo\x07\x1B[2J"), std::string::npos);
    EXPECT_NE(piped.find("C\xE1mara  \x81"), std::string::npos);
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
