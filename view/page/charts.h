// The pictures of a section on the page: a carpet plot of Qs (a PNG, days
// across and hours down), the load duration curve and the monthly energy
// (SVG), with the helpers that place them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reportfile/report_reader.h"
#include "view/figures/section_figures.h"
#include "view/page/png.h"

namespace zoneloads {
namespace view {

// The carpet of the section's Qs, with its axes, scale and caption,
// appended to `out`; under the pointer the page's script shows the values
// the building's hourly chart holds (data-q: those of its report).
void appendCarpet(std::string& out, const SectionHours& hours);
// The carpet of the building's simultaneous heating and cooling, hour by
// hour (simultaneousPart of the totals' parts), with its values for the
// page's script; appended to `out`.
void appendSimultaneousCarpet(std::string& out, const SectionHours& hours);
// The 24 hours of the day of hour `hour` (none when negative): Qs and, for a
// zone block, Treal, Tmax and Tmin on a second axis; QL for the totals.
// `peak` names the peak in the caption.
std::string peakDayHtml(const SectionHours& hours, int hour, const char* peak);
// The section's Qs from largest to smallest, against the hours.
std::string durationCurveHtml(const std::vector<double>& qs);
// Bars of the monthly sensible energy, Qs > 0 and Qs < 0.
std::string monthlyHtml(const SectionFigures& figures);

// Comparing two buildings: the carpet of the variant's Qs minus the base's,
// both duration curves on one chart, and both monthly energies.
std::string differenceCarpetHtml(const std::vector<double>& base, const std::vector<double>& variant);
std::string durationCurvesHtml(const std::vector<double>& base, const std::vector<double>& variant);
std::string monthlyComparisonHtml(const SectionFigures& base, const SectionFigures& variant);

// Colour steps of the temperature carpet on each side of the band, and the
// excess of the strongest: a step each quarter of a kelvin.
constexpr int kTemperatureLevels = 16;
constexpr double kTemperatureScaleK = 4;
// The temperature carpet's palette, by index (0 inside the band, 1 not a
// number, then kTemperatureLevels steps above Tmax and as many below Tmin):
// the page's script draws the zones' temperature carpets with it.
std::vector<Rgb> temperaturePalette();

// Colour steps of the carpet on each side of 0.
constexpr int kCarpetLevels = 64;
// The Qs carpet's palette, by index (carpetIndex): the page's script draws
// the zones' carpets with it.
std::vector<Rgb> carpetPalette();
// The carpet's palette index of a value: 0 for 0, 1 for not a number, then
// kCarpetLevels steps for values above 0 and as many below; `levels` is
// kCarpetLevels over the carpet's scale (0 for a scale of 0).
std::uint8_t carpetIndex(double v, double levels);

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about
// `parts` parts (1 for a range that is empty, too small or not finite).
double niceStep(double range, int parts);

// An axis over the values from `low` to `high`: the range made non-empty
// and widened to whole steps of niceStep, and how many steps it spans, never
// more than kMaxAxisSteps whatever the values.
constexpr int kMaxAxisSteps = 20;
struct AxisSteps {
    double low, high, step;
    int count;
};
AxisSteps axisSteps(double low, double high, int parts);

// The geometry of every SVG chart, in its own units; the page's script maps
// the pointer back to a value with it.
constexpr int kChartWidth = 672;  // room on the right for a second axis and its title
constexpr int kChartHeight = 240;
constexpr int kPlotLeft = 60;
constexpr int kPlotRight = 620;
constexpr int kPlotTop = 20;
constexpr int kPlotBottom = 200;

// An SVG chart's frame: the plot area and the value range of its y axis.
struct Chart {
    double low, high;  // value range of the y axis
    double x0 = kPlotLeft, x1 = kPlotRight, y0 = kPlotTop, y1 = kPlotBottom;
    double y(double v) const { return y1 - (v - low) / (high - low) * (y1 - y0); }
};

// Opens the chart's SVG: horizontal grid lines with labels at steps of
// niceStep, the range widened to whole steps (and made non-empty), and the
// axis titles.
std::string chartFrame(Chart& c, const char* yTitle, const char* xTitle);

}  // namespace view
}  // namespace zoneloads
