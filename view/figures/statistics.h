// The statistics of a section's hours: its figures, its values in order of
// size, and the ratio of a building's peak to its zones' peaks.
#pragma once

#include <vector>

#include "reportfile/report_reader.h"
#include "view/figures/section_figures.h"

namespace zoneloads {
namespace view {

// The set-point tolerance of the hours outside, unless one is given, in K:
// simulation practice counts an hour as not met only beyond a few tenths of
// a kelvin, which hides the noise of a set point held to within its step.
constexpr double kDefaultTolerance = 0.2;

// The figures of a section from its hours: a zone block's when `hours` holds
// temperatures, the building's when it holds the totals' parts. An hour is
// outside its set points when Treal passes Tmax, or falls below Tmin, by
// more than `tolerance` K (an hour exactly at Tmax + tolerance is inside).
SectionFigures sectionFigures(const SectionHours& hours, double tolerance = kDefaultTolerance);

// True when `t` passes the set point `limit` by more than `tolerance` (K).
// With a tolerance above 0 the excess is compared with it with a slack of
// 1e-9 times the larger of 1 and the values' magnitudes, far below the
// report's last digit, so that a decimal boundary is not decided by the
// doubles' rounding; with 0, every excess counts.
bool beyond(double t, double limit, double tolerance);

// The simultaneous part of an hour's building loads: min(sum above 0,
// |sum not above 0|); 0 unless both are numbers and the load is both.
double simultaneousPart(double qsPos, double qsNeg);

// The values other than NaN, from largest to smallest.
std::vector<double> sortedDescending(const std::vector<double>& values);

// The factor de simultaneidad: the building's peak over the sum of its zone
// blocks' peaks; NaN, undefined, when that sum is 0 (no zone has such a
// peak) or not finite, or the ratio is not finite.
double simultaneity(double buildingPeak, double zonePeaks);

}  // namespace view
}  // namespace zoneloads
