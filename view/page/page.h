// The HTML page of zoneloads-view: per report an index of its zones, a
// summary table, the building's section and its hourly chart, then the zone
// sections; with --comparar, the comparisons first. Every section gives its
// figures as text; its pictures (carpets, days of the peaks, duration
// curves, monthly bars) are drawn by the page's script, as they come into
// view, from the values the section holds (section_values.h). The page is
// one UTF-8 file, its text Spanish, its style sheet and its scripts
// (page.css, the files of script/ and the chart library, built into the
// program) inline, and nothing fetched from elsewhere; without scripts it
// shows the tables and every figure as text.
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

// The rest of the building's section: the place of its pictures, with its
// figures and hours (Qs, QL, the simultaneous heating and cooling) for the
// script, which the hourly chart reads too.
std::string sectionFiguresHtml(const SectionHours& hours, const SectionFigures& figures);

// The anchor of zone block `block` of report `report` (0 ..) on the page.
std::string zoneAnchor(int report, int block);

// A zone block's whole section: its heading and figures as text, and for
// the page's script, which draws its pictures when the section comes into
// view, its hours (Qs, QL, Treal, Tmax, Tmin and their bands), its peaks'
// hours and its monthly energies. A page of any size opens at once.
std::string zoneSectionHtml(const SummaryRow& row, int report, const SectionHours& hours);

// The index of a report's zone blocks: a link to each one's section, and a
// box the script shows to filter them by name or number as one types.
std::string zoneIndexHtml(const std::vector<SummaryRow>& rows, int report);

// The building's hourly chart, made by the script only when it is opened:
// the year of the building's Qs and QL (the hours its section holds), to
// zoom into, with zones added by name.
std::string hourlyChartHtml();

// The comparison of a variant with the base: the warnings of the pairing,
// the table of differences per zone and for the building, and for the
// script, which draws the carpet of the building's Qs difference and both
// buildings' duration curves and monthly energy on the same axes, both
// buildings' Qs and monthly energies.
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
