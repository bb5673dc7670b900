// The pictures of a section on the page: a carpet plot of Qs (a PNG, days
// across and hours down), the load duration curve and the monthly energy
// (SVG), with the helpers that place them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "view/statistics.h"

namespace zoneloads {
namespace view {

// The carpet of the section's Qs, with its axes, scale and caption.
std::string carpetHtml(const SectionFigures& figures);
// The section's Qs from largest to smallest, against the hours.
std::string durationCurveHtml(const SectionFigures& figures);
// Bars of the monthly sensible energy, Qs > 0 and Qs < 0.
std::string monthlyHtml(const Summary& summary);

// Colour steps of the carpet on each side of 0.
constexpr int kCarpetLevels = 64;
// The carpet's palette index of a value: 0 for 0, 1 for not a number, then
// kCarpetLevels steps for values above 0 and as many below; `levels` is
// kCarpetLevels over the carpet's scale (0 for a scale of 0).
std::uint8_t carpetIndex(double v, double levels);

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about
// `parts` parts.
double niceStep(double range, int parts);

// The values other than NaN, from largest to smallest.
std::vector<double> sortedDescending(const std::vector<double>& values);

// An SVG chart's frame: the plot area and the value range of its y axis.
struct Chart {
    double low, high;  // value range of the y axis
    double x0 = 60, x1 = 620, y0 = 20, y1 = 200;
    double y(double v) const { return y1 - (v - low) / (high - low) * (y1 - y0); }
};

// Opens the chart's SVG: horizontal grid lines with labels at steps of
// niceStep, the range widened to whole steps (and made non-empty), and the
// axis titles.
std::string chartFrame(Chart& c, const char* yTitle, const char* xTitle);

}  // namespace view
}  // namespace zoneloads
