// The HTML page of zoneloads-view: per report a summary table, then per
// section its peaks with their dates and its pictures (charts.h). The page is
// UTF-8, self-contained (inline CSS, images and SVG; no script), and its text
// is Spanish.
#pragma once

#include <string>
#include <vector>

#include "view/compare.h"
#include "view/report_reader.h"
#include "view/statistics.h"
#include "view/summary_table.h"

namespace zoneloads {
namespace view {

// The page's head (its style) and title (UTF-8 HTML text), up to the start
// of its body.
std::string pageStart(const std::string& titleHtml);
// The rows as an HTML table under the header of the CSV.
std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption);
// A section's opening: its heading, its peaks with their dates, its sums and
// counts; for the building, the sum of the zone blocks' peaks and the
// factor de simultaneidad too.
std::string sectionHeadHtml(const SummaryRow& row);
// The rest of a section: its carpet, duration curve and monthly bars.
std::string sectionFiguresHtml(const SectionFigures& figures);
// The comparison of a variant with the base: the warnings of the pairing,
// the table of differences per zone and for the building, the carpet of the
// building's Qs difference, and both buildings' duration curves and monthly
// energy on the same axes.
std::string comparisonHtml(const std::string& baseName, const std::string& variantName, const Pairing& pairing,
                           const SectionFigures& baseBuilding, const SectionFigures& variantBuilding);

// What closes the page.
std::string pageEnd();

}  // namespace view
}  // namespace zoneloads
