#include "view/figures/summary_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zoneloads {
namespace view {
namespace {

// Every output takes its columns from the one table: the CSV's are in it
// once each, and every column an output places has a script name and a label.
TEST(SummaryColumns, OneTableForEveryOutput) {
    std::vector<std::string> names;
    for (const SummaryColumn* c : csvColumns()) names.push_back(c->name);
    EXPECT_EQ(names.size(), 35u);
    EXPECT_EQ(names.back(), "numero_zona");  // the latest, last
    EXPECT_EQ(workbookColumns().size(), 34u);
    for (std::size_t i = 0; i < workbookColumns().size(); ++i) {
        EXPECT_EQ(workbookColumns()[i]->workbookPosition, static_cast<int>(i));
        EXPECT_NE(std::string(workbookColumns()[i]->label), "");
    }
    EXPECT_EQ(comparedColumns().size(), 10u);
    for (const SummaryColumn* c : comparedColumns()) EXPECT_NE(c->compared, nullptr) << c->name;
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
