// The columns of the summary, once, as data: each with its script name (the
// CSV's header), its Spanish labels, what kind of value it holds and how it
// is shown, how that is taken from a row, and where it stands in each output
// that shows it. The CSV, the Spanish CSV, the page's table, the console
// table, the workbook's summary and the comparison all walk this table
// (doc/formats.md gives the columns). A new figure is one row here and its
// computation.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "view/figures/quantities.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// What a cell holds, which decides how each output writes it.
enum class CellKind {
    empty,    // nothing: a figure the row does not have
    report,   // a report's file name as given (UTF-8 on Windows)
    zone,     // a zone's name, the report's bytes (Windows-1252 unless they are UTF-8)
    text,     // fixed text ("TOTAL")
    integer,  // a count or a block number: `number`, written as `text`
    real,     // `number`, written as `text` (the report's text, or six significant digits)
    hour,     // the hour index of a peak (0 to 8759)
    date,     // the date of the hour `hour`, in each output's own form
};

struct Cell {
    CellKind kind = CellKind::empty;
    std::string text;   // report, zone, text: the bytes; integer, real: the number's text
    double number = 0;  // integer, real: the value a spreadsheet holds
    int hour = -1;      // hour, date
};

// How a spreadsheet shows a column's numbers.
enum class CellFormat { plain, watts, kilowattHours, hours, kelvinHours, kelvins, percent, date };

struct SummaryColumn {
    const char* name;        // the script name, the CSV's header: never changed, new ones last
    const char* label;       // the Spanish header of the page, the Spanish CSV and the workbook, with its unit
    const char* shortLabel;  // the console table's header; nullptr for a column it does not show
    CellFormat format;
    bool identifies;       // names the row (report, block, zone): text, aligned left
    bool magnitude;        // a heating figure, below 0 in the report: shown as its magnitude but in the CSVs
    bool inCsv;            // in the CSVs (in this table's order)
    int workbookPosition;  // its place in the workbook's summary; -1 for none
    int consolePosition;   // its place in the console table that fits a window, after the zone's label; -1 for none
    int comparedPosition;  // its place among the figures compared between designs; -1 for none
    Cell (*cell)(const SummaryRow& row);
    double (*compared)(const SummaryRow& row);  // the value compared; nullptr when not compared
};

// Every column, the CSV's in the CSV's order.
const std::vector<SummaryColumn>& summaryColumns();

// The columns of one output, in that output's order.
std::vector<const SummaryColumn*> csvColumns();
std::vector<const SummaryColumn*> workbookColumns();
std::vector<const SummaryColumn*> consoleColumns();
std::vector<const SummaryColumn*> comparedColumns();

// The text of a cell in the script CSV (dates as "17/07 13:00").
std::string csvText(const Cell& cell);

// The cell as the page, the workbook and the console show it: a heating
// figure of a `magnitude` column as its magnitude.
Cell shownCell(const SummaryColumn& column, const Cell& cell);

// The quantity of a column's numbers, which says their unit and decimals
// (quantities.h): every row's in the zones' unit, W or kWh; none for a
// column of names, dates, block or hour numbers.
std::optional<Quantity> columnQuantity(const SummaryColumn& column);

// A value as shown by a column: its magnitude for a heating figure.
double shownValue(const SummaryColumn& column, double value);

// A number's text with a decimal comma, as the page and the console write
// numbers for a Spanish reader ("6933,1", "1,5e+06").
std::string decimalComma(std::string text);

}  // namespace view
}  // namespace zoneloads
