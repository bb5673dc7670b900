#include "tools/view/page.h"

#include <gtest/gtest.h>

#include "tools/view/png.h"

namespace zoneloads {
namespace view {
namespace {

TEST(HtmlText, EscapesAndShowsEveryByte) {
    EXPECT_EQ(htmlText("<script>\"&'"), "&lt;script&gt;&quot;&amp;&#39;");
    EXPECT_EQ(htmlText("c\xE1lculo n\xBA \x80"), "c\xC3\xA1lculo n\xC2\xBA \xE2\x82\xAC");
    // Controls as their pictures, a byte with no character by its value.
    EXPECT_EQ(htmlText("a\nb"), "a<span class=\"ctl\">\xE2\x90\x8A</span>b");
    EXPECT_EQ(htmlText("\x81"), "<span class=\"ctl\">\\x81</span>");
}

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

TEST(Png, ChunksAndBase64) {
    std::string png = indexedPng(2, 1, {{0, 0, 0}, {255, 255, 255}}, {0, 1});
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
    EXPECT_EQ(base64("Man"), "TWFu");
    EXPECT_EQ(base64("Ma"), "TWE=");
    EXPECT_EQ(base64("M"), "TQ==");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
