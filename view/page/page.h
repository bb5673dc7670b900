// The HTML page of zoneloads-view: per report a summary table, then per
// section its peaks with their dates and its pictures (charts.h); with
// --comparar, the comparisons first. The page is one UTF-8 file, its text
// Spanish, its style sheet and its script (page.css, page.js, built into the
// program) inline, and nothing fetched from elsewhere; without scripts it
// shows the same pictures, only not the values under the pointer.
#pragma once

#include <string>
#include <vector>

#include "reportfile/report_reader.h"
#include "view/figures/comparison.h"
#include "view/figures/section_figures.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// The page's head (its style) and title (UTF-8 HTML text), up to the start
// of its body.
std::string pageStart(const std::string& titleHtml);

// The rows as an HTML table under the CSV's header.
std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption);

// A section's opening: its heading, its peaks with their dates, its sums and
// counts; for the building, the sum of the zone blocks' peaks and the
// factor de simultaneidad too.
std::string sectionHeadHtml(const SummaryRow& row);

// The rest of a section: its carpets, the days of its peaks, its duration
// curve and monthly bars.
std::string sectionFiguresHtml(const SectionHours& hours, const SectionFigures& figures);

// The comparison of a variant with the base: the warnings of the pairing,
// the table of differences per zone and for the building, the carpet of the
// building's Qs difference, and both buildings' duration curves and monthly
// energy on the same axes.
std::string comparisonHtml(const Comparison& comparison, const SectionHours& baseBuilding,
                           const SectionFigures& baseFigures, const SectionHours& variantBuilding,
                           const SectionFigures& variantFigures);

// What closes the page: its script, after the constants it reads, the
// set points' `tolerance` (K) among them.
std::string pageEnd(double tolerance);

// The constants of the page's script, as the script reads them (a
// JavaScript object): written from the viewer's own.
std::string pageConstants(double tolerance);

}  // namespace view
}  // namespace zoneloads
