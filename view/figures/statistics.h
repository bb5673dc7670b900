// The statistics of a section's hours beside its figures (sectionFigures,
// section_figures.h): the set-point rule, the simultaneous part of an hour,
// its values in order of size, and the ratio of a building's peak to its
// zones' peaks.
#pragma once

#include <vector>

#include "view/figures/section_figures.h"

namespace zoneloads {
namespace view {

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
