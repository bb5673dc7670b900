// The HTML page of zoneloads-view: per report an index of its zones, a
// summary table, the building's section with its pictures (charts.h) and
// its hourly chart, then the zone sections, whose pictures the page's script
// draws as they come into view; with --comparar, the comparisons first. The
// page is one UTF-8 file, its text Spanish, its style sheet and its scripts
// (page.css, page.js and the chart library, built into the program) inline,
// and nothing fetched from elsewhere; without scripts it shows the tables,
// the building's pictures and the zones' figures as text.
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

// The anchor of zone block `block` of report `report` (0 ..) on the page.
std::string zoneAnchor(int report, int block);

// A zone block's whole section: its heading and figures as text, and for
// the page's script, which draws its pictures when the section comes into
// view, its hours (Qs, QL, Treal, Tmax, Tmin), its peaks' hours and its
// monthly energies. A page of any size opens at once.
std::string zoneSectionHtml(const SummaryRow& row, int report, const SectionHours& hours);

// The index of a report's zone blocks: a link to each one's section, and a
// box the script shows to filter them by name or number as one types.
std::string zoneIndexHtml(const std::vector<SummaryRow>& rows, int report);

// The building's hourly chart, made by the script only when it is opened:
// the year of the building's Qs and QL (its hours are in the page), to zoom
// into, with zones added by name.
std::string hourlyChartHtml(const SectionHours& building);

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
