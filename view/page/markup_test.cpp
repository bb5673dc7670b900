#include "view/page/markup.h"

#include <gtest/gtest.h>

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

TEST(Fill, PutsTheValuesInOrderAndLeavesOtherDollars) {
    EXPECT_EQ(fill(R"(<a x="$0" y="$1">$0</a>)", {"1", "2"}), R"(<a x="1" y="2">1</a>)");
    EXPECT_EQ(fill("$2 $a $", {"x"}), "$2 $a $");  // no such value: left as it stands
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
