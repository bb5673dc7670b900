// The summary as CSV files (doc/formats.md, "Summary CSV" and "Summary CSV
// for a Spanish-locale spreadsheet"), and the difference table of a
// comparison, each line ended by CR LF.
#pragma once

#include <string>
#include <vector>

#include "view/figures/comparison.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// A CSV line of the fields, `separator` between them (a field holding the
// separator, a quote or a line break quoted as RFC 4180 says), without its
// line end.
std::string csvLine(const std::vector<std::string>& fields, char separator = ',');

// The script CSV, UTF-8 text (names converted as utf8OfName says): the
// header, then a line per row; after an empty line, the difference table
// when `differences` holds any row.
std::string scriptCsv(const std::vector<SummaryRow>& rows, const std::vector<DifferenceRow>& differences);

// The CSV for a Spanish-locale spreadsheet: the script CSV's columns, headed
// by their Spanish labels, with ";" between fields, decimal commas, dates as
// "dd/mm/aaaa hh:mm" of kSpreadsheetYear, Windows-1252 bytes (names
// converted as windows1252OfName says); a name a
// spreadsheet could take for a formula starts with "'". The values keep the
// report's signs.
std::string spanishCsv(const std::vector<SummaryRow>& rows);

// A row of the difference table as text: names in UTF-8, blocks ("TOTAL"
// for the buildings), then per figure base, variant, difference and
// difference in % (empty when there is none), six significant digits; four
// empty fields for a figure the pair does not have.
std::vector<std::string> differenceFields(const DifferenceRow& row);

}  // namespace view
}  // namespace zoneloads
