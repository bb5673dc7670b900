// The statistics of a section's hours: its figures, its values in order of
// size, and the ratio of a building's peak to its zones' peaks.
#pragma once

#include <vector>

#include "reportfile/report_reader.h"
#include "view/figures/section_figures.h"

namespace zoneloads {
namespace view {

// The figures of a section from its hours: a zone block's when `hours` holds
// temperatures, the building's when it holds the totals' parts.
SectionFigures sectionFigures(const SectionHours& hours);

// The values other than NaN, from largest to smallest.
std::vector<double> sortedDescending(const std::vector<double>& values);

// The factor de simultaneidad: the building's peak over the sum of its zone
// blocks' peaks; 0 when they have none.
double simultaneity(double buildingPeak, double zonePeaks);

}  // namespace view
}  // namespace zoneloads
