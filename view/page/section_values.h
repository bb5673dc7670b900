// What a section of the page holds for the page's script, which draws every
// picture from it (doc/formats.md, "The page's values"): in `data-f` the
// figures its charts show, in `data-v` its hours (hour_values.h). Where each
// value sits is written here once; pageConstants hands the same positions to
// the script.
#pragma once

#include <string>
#include <vector>

#include "common/calendar.h"
#include "reportfile/report_reader.h"
#include "view/figures/section_figures.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace view {

// The positions in a `data-f` list: the hours of the cooling and heating
// peaks (-1 when none), then the monthly energies in kWh of Qs > 0 and
// Qs < 0, twelve each.
constexpr int kCoolingPeakField = 0;
constexpr int kHeatingPeakField = 1;
constexpr int kCoolingMonthsField = 2;
constexpr int kHeatingMonthsField = kCoolingMonthsField + kMonthsPerYear;
constexpr int kFigureFields = kHeatingMonthsField + kMonthsPerYear;

// The series of each kind of `data-v`, in order: a zone block's, the
// kViewedSeries series in the order of Series (zonefile/zone_file.h), then
// its temperature bands; the building's; a comparison's.
constexpr int kBandSeries = kViewedSeries;
constexpr int kZoneValueSeries = kBandSeries + 1;
enum class BuildingSeries { qs, ql, simultaneous, count };
enum class ComparedSeries { base, variant, count };

// A section's `data-f`: its figures at the positions above, blank-separated,
// the energies with six significant digits ("inf" for an infinite month).
std::string figuresText(const SectionFigures& figures);

// A zone block's `data-v`: its Qs, QL, Treal, Tmax, Tmin and temperature
// bands (temperatureBands), encoded.
std::string zoneValues(const SectionHours& hours, double tolerance);

// The building's `data-v`: its Qs, QL and simultaneous heating and cooling
// (simultaneousPart of the totals' parts), encoded.
std::string buildingValues(const SectionHours& hours);

// A comparison's `data-v`: the base building's Qs and the variant's, encoded.
std::string comparedValues(const std::vector<double>& baseQs, const std::vector<double>& variantQs);

// The temperature carpet's steps on each side of the band, and the excess
// of the strongest: a step each quarter of a kelvin.
constexpr int kTemperatureLevels = 16;
constexpr double kTemperatureScaleK = 4;

// Each hour's band of a zone block's Treal against its set points, as the
// temperature carpet colours it: 0 inside (beyond, as the hours outside are
// counted), 1 when Treal, Tmax or Tmin is no number, then kTemperatureLevels
// steps of the excess above Tmax and as many below Tmin (the last step for
// kTemperatureScaleK and more).
std::vector<double> temperatureBands(const SectionHours& hours, double tolerance);

// The positions above as the script reads them: the members of a
// JavaScript object, "figureFields:{...},zoneSeries:{...},...".
std::string sectionLayouts();

}  // namespace view
}  // namespace zoneloads
