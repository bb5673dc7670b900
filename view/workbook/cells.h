// The workbook's cells: their formats, how a value, a text or a name is
// written into one, headers and column widths, and the tables of rows that
// run on over further sheets.
#pragma once

#include <xlsxwriter.h>

#include <cstddef>
#include <string>
#include <vector>

#include "view/figures/summary_columns.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// The cell formats of the workbook: the header's, and how each kind of
// number is shown (a spreadsheet's formats, the same in every locale).
struct Formats {
    lxw_format* header;
    lxw_format* date;
    lxw_format* watts;
    lxw_format* kilowattHours;
    lxw_format* hours;
    lxw_format* kelvins;
    lxw_format* percent;
    lxw_format* block;  // a block's number or TOTAL, centred apart from the zone's name
};

// The workbook's formats, made in `book`.
Formats makeFormats(lxw_workbook* book);

// The format of a summary column's cells; nullptr for the general one.
lxw_format* formatOf(CellFormat format, const Formats& formats);

// A value as the report writes it: a number, or its text ("nan", "-inf")
// where a spreadsheet has no such number.
void writeValue(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, double value, lxw_format* format = nullptr);

// Text as a cell holds it: at most 32,767 characters.
std::string cellText(std::string text);

// UTF-8 text, as a cell holds it.
void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& utf8,
               lxw_format* format = nullptr);

// A name, a report's file name or a zone's, as the page shows it; always
// text, never a formula.
void writeName(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& name);

// A row's first three cells: the report, the block (or TOTAL) and the zone.
void writeRowLabel(lxw_worksheet* sheet, lxw_row_t row, const std::string& report, const SummaryRow& r,
                   const Formats& formats);

// Columns first to last `width` characters wide, one by one: a spreadsheet
// program refuses a file whose column ranges overlap, as a range set over
// columns that have widths of their own would.
void setWidth(lxw_worksheet* sheet, lxw_col_t first, lxw_col_t last, double width);

// The header row, each column wide enough for its header (over at most
// three lines of the header's height) and for `least` characters of values.
void writeHeader(lxw_worksheet* sheet, const std::vector<std::string>& names, const Formats& formats,
                 double least = 10);

// Rows under one header, on as many sheets as they need.
struct RowTable {
    std::vector<lxw_worksheet*> sheets;
    std::size_t rowsPerSheet;  // under the header
    std::size_t next = 0;      // rows given so far
};

// The sheet and row of the table's next row.
lxw_worksheet* nextRow(RowTable& table, lxw_row_t& row);

// Filters on the header of each of a table's sheets, over the rows it holds.
void filterTable(const RowTable& table, lxw_col_t lastColumn);

// Where a row of a table stands: the name of its sheet and its row.
struct CellPlace {
    std::string sheet;
    lxw_row_t row;
};

// Where row `k` of a table whose first sheet is `names[firstSheet]` stands.
CellPlace placeOfRow(const std::vector<std::string>& names, std::size_t firstSheet, std::size_t k,
                     std::size_t rowsPerSheet);

}  // namespace view
}  // namespace zoneloads
