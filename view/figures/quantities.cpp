#include "view/figures/quantities.h"

#include "common/number_display.h"

namespace zoneloads {
namespace view {
namespace {

// `value` times 10 to `power`, in one rounding: 2504.5 W is 2.5045 kW, as
// its text says, not 2504.5 times the double nearest 0.001.
double scaled(double value, int power) {
    double ten = 1;
    for (int i = 0; i < (power < 0 ? -power : power); ++i) ten *= 10;
    return power < 0 ? value / ten : value * ten;
}

}  // namespace

// A spreadsheet's format codes are written with "," grouping and "."
// decimals whatever the locale, and shown with the locale's: in Spanish,
// "#,##0.0" shows 2890.8 as "2.890,8", as spanishNumber writes it. A "%"
// outside quotes shows the cell times 100.
const std::vector<QuantityDisplay>& quantityDisplays() {
    static const std::vector<QuantityDisplay> table = {
        {Quantity::power, "W", 0, 0, "#,##0", 0},
        {Quantity::buildingPower, "kW", 1, -3, "#,##0.0", -3},
        {Quantity::energy, "kWh", 0, 0, "#,##0", 0},
        {Quantity::buildingEnergy, "MWh", 1, -3, "#,##0.0", -3},
        {Quantity::degreeHours, "K\u00b7h", 1, 0, "#,##0.0", 0},
        {Quantity::hours, "h", 0, 0, "#,##0", 0},
        {Quantity::percent, "%", 1, 0, "#,##0.0\" %\"", 0},
        {Quantity::simultaneityFactor, "%", 1, 2, "0.0 %", 0},
        {Quantity::temperature, "\u00b0C", 1, 0, "0.0", 0},
        {Quantity::tolerance, "K", 2, 0, "0.00", 0},
    };
    return table;
}

const QuantityDisplay& quantityDisplay(Quantity quantity) {
    return quantityDisplays()[static_cast<std::size_t>(quantity)];
}

std::string shownNumber(Quantity quantity, double value) {
    const QuantityDisplay& d = quantityDisplay(quantity);
    return spanishNumber(scaled(value, d.powerOfTen), d.decimals);
}

std::string shownWithUnit(Quantity quantity, double value) {
    return shownNumber(quantity, value) + " " + quantityDisplay(quantity).unit;
}

double spreadsheetValue(Quantity quantity, double value) {
    return scaled(value, quantityDisplay(quantity).cellPowerOfTen);
}

}  // namespace view
}  // namespace zoneloads
