// The summary table (as CSV, as aligned text and as HTML) and the HTML page
// of zoneloads-view: per section, its peaks with their dates, a carpet plot,
// a load duration curve and monthly bars. The page is UTF-8, self-contained
// (inline CSS, images and SVG; no script), and its text is Spanish.
#pragma once

#include <string>
#include <vector>

#include "tools/view/report_reader.h"

namespace zoneloads {
namespace view {

// The CSV header line, without its line end.
extern const char* const kCsvHeader;

// One row of the summary table: the CSV columns, in order, as text (the
// zone name as its report bytes).
using SummaryRow = std::vector<std::string>;

// The summary row of one section of the report `reportName`.
SummaryRow summaryRow(const std::string& reportName, const Section& section);

// A CSV line (fields quoted where they hold a comma, quote or line break),
// without its line end.
std::string csvLine(const SummaryRow& row);

// The rows as a text table with aligned columns, header first, one line each.
std::string textTable(const std::vector<SummaryRow>& rows);

// Report bytes (Windows-1252) as UTF-8 HTML text: every special character
// escaped, and bytes that are no character shown as visible marks.
std::string htmlText(const std::string& bytes);

// The page's head (its style) and title, up to the start of its body.
std::string pageStart(const std::string& title);
// The rows as an HTML table under the header of the CSV.
std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption);
// A section's heading, peaks with their dates, carpet, duration curve and monthly bars.
std::string sectionHtml(const Section& section);
// What closes the page.
std::string pageEnd();

}  // namespace view
}  // namespace zoneloads
