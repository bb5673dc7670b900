#include "view/figures/quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/number_display.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

// Each quantity in its unit and decimals, as the trade writes it: a zone's
// load in whole W, a building's in kW with one decimal, the factor de
// simultaneidad from its ratio.
TEST(Quantities, EachInItsUnitAndDecimals) {
    EXPECT_EQ(shownWithUnit(Quantity::power, 2505.3), "2.505 W");
    EXPECT_EQ(shownWithUnit(Quantity::buildingPower, 382138), "382,1 kW");
    EXPECT_EQ(shownWithUnit(Quantity::buildingPower, 2504.5 + 45), "2,5 kW");
    EXPECT_EQ(shownWithUnit(Quantity::energy, 1247.96), "1.248 kWh");
    EXPECT_EQ(shownWithUnit(Quantity::buildingEnergy, 720070), "720,1 MWh");
    EXPECT_EQ(shownWithUnit(Quantity::degreeHours, 4.6216), "4,6 K\u00b7h");
    EXPECT_EQ(shownWithUnit(Quantity::hours, 8760), "8.760 h");
    EXPECT_EQ(shownWithUnit(Quantity::percent, -32.84), "-32,8 %");
    EXPECT_EQ(shownWithUnit(Quantity::simultaneityFactor, 0.8123), "81,2 %");
    EXPECT_EQ(shownWithUnit(Quantity::temperature, 21.25), "21,3 \u00b0C");
    EXPECT_EQ(shownWithUnit(Quantity::tolerance, 0.2), "0,20 K");
    EXPECT_EQ(shownNumber(Quantity::power, -INFINITY), "-inf");
    EXPECT_EQ(shownNumber(Quantity::simultaneityFactor, NAN), "nan");
}

// A spreadsheet cell under its quantity's format shows what the page and
// the console show: the format's decimals are the quantity's, a format with
// a "%" outside quotes is given the ratio, every other the value shown.
TEST(Quantities, SpreadsheetFormatsShowTheSame) {
    int index = 0;
    for (const QuantityDisplay& d : quantityDisplays()) {
        EXPECT_EQ(static_cast<int>(d.quantity), index++) << d.unit;  // in the enum's order
        std::string format = d.spreadsheetFormat;
        std::size_t point = format.find('.');
        int decimals = 0;
        while (point != std::string::npos && point + 1 + decimals < format.size() &&
               format[point + 1 + decimals] == '0')
            ++decimals;
        EXPECT_EQ(decimals, d.decimals) << format;
        bool percentScales = format.find(" %") != std::string::npos && format.find("\" %\"") == std::string::npos;
        double shown = spreadsheetValue(d.quantity, 1234.5) * (percentScales ? 100 : 1);
        EXPECT_EQ(shownNumber(d.quantity, 1234.5), spanishNumber(shown, d.decimals)) << format;
    }
}

// Every column of numbers but block and hour numbers has its quantity; the
// others show their numbers as they are.
TEST(Quantities, EveryColumnOfFiguresHasOne) {
    for (const SummaryColumn& c : summaryColumns()) {
        bool figures = c.format != CellFormat::plain && c.format != CellFormat::date;
        EXPECT_EQ(columnQuantity(c).has_value(), figures) << c.name;
    }
    EXPECT_EQ(columnQuantity(*csvColumns()[3]), Quantity::power);  // QsREF_max[W]
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
