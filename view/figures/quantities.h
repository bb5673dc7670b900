// The quantities the viewer shows a reader, each written once: its unit,
// its fixed number of decimals, and the spreadsheet number format that gives
// the same look in a Spanish locale. The page, the console table and the
// workbook show a figure through this table, so that it reads alike in all
// three (doc/formats.md, "Numbers for a reader"); the CSVs keep every digit.
#pragma once

#include <string>
#include <vector>

namespace zoneloads {
namespace view {

// What a figure measures, and so how it is shown. A column that holds zones
// and their building (a summary, a monthly table) shows every row in the
// zones' unit, W or kWh, so that the zones add up to the total under one
// header; the building's figures shown on their own are in kW and MWh.
enum class Quantity {
    power,               // a load of a zone, or of a column of zones and their building: W (value in W)
    buildingPower,       // a building's load on its own: kW (value in W)
    energy,              // an energy of a zone, or of a column of zones and their building: kWh (value in kWh)
    buildingEnergy,      // a building's energy on its own: MWh (value in kWh)
    degreeHours,         // degree-hours outside the set points: K h
    hours,               // hours, zone-hours: h
    percent,             // a percentage, as a comparison's difference: % (value in %)
    simultaneityFactor,  // the factor de simultaneidad: % (value a ratio, 0.85 is 85 %)
    temperature,         // Treal, Tmax, Tmin: degrees C
    tolerance,           // the set points' tolerance: K
};

struct QuantityDisplay {
    Quantity quantity;
    const char* unit;               // UTF-8, as a header or a figure writes it: "W", "kW", "K\u00b7h", "%"
    int decimals;                   // fixed decimals, whatever the value
    int powerOfTen;                 // the value shown is the value given times 10 to this (W to kW: -3)
    const char* spreadsheetFormat;  // the number format of a cell that holds spreadsheetValue
    int cellPowerOfTen;             // the cell holds the value given times 10 to this (a ratio stays one for "%")
};

// Every quantity, in the order of Quantity.
const std::vector<QuantityDisplay>& quantityDisplays();

// How `quantity` is shown.
const QuantityDisplay& quantityDisplay(Quantity quantity);

// `value` (in the unit Quantity names) as a Spanish reader reads it, in its
// quantity's unit and decimals, without the unit: power 382138.4 gives
// "382.138", buildingPower 382138.4 gives "382,1"; inf and nan as the tables
// write them.
std::string shownNumber(Quantity quantity, double value);

// shownNumber and the unit after a space: "382,1 kW", "32,8 %".
std::string shownWithUnit(Quantity quantity, double value);

// The number a spreadsheet cell holds for `value` under its quantity's
// spreadsheetFormat: shown the same as shownNumber.
double spreadsheetValue(Quantity quantity, double value);

}  // namespace view
}  // namespace zoneloads
