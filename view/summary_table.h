// The summary table: one row per zone block and one for the totals of each
// report, as CSV (doc/formats.md, "Summary CSV") and as aligned text.
#pragma once

#include <string>
#include <vector>

#include "view/report_reader.h"
#include "view/statistics.h"

namespace zoneloads {
namespace view {

// The CSV header line, without its line end.
extern const char* const kCsvHeader;

// The CSV header's column names.
std::vector<std::string> headerNames();

// Watt-hours as the table writes kilowatt-hours: six significant digits.
std::string kWhText(double wh);

// One row of the summary table: the CSV columns, in order, as text (the
// zone name as its report bytes).
using SummaryRow = std::vector<std::string>;

// The summary row of one section of the report `reportName`.
SummaryRow summaryRow(const std::string& reportName, const Section& section, const SectionFigures& figures);

// A CSV line (fields quoted where they hold a comma, quote or line break),
// without its line end.
std::string csvLine(const SummaryRow& row);

// The rows as a text table with aligned columns, header first, one line
// each. For a terminal (`forTerminal`) the names are UTF-8 as the page shows
// them, control bytes as visible marks; otherwise they are the report's
// bytes, line breaks as blanks.
std::string textTable(const std::vector<SummaryRow>& rows, bool forTerminal = false);

}  // namespace view
}  // namespace zoneloads
