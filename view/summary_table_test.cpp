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

}  // namespace
}  // namespace view
}  // namespace zoneloads
