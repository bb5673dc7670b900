#include "view/page/section_values.h"

#include <array>
#include <cmath>
#include <iterator>

#include "common/number_display.h"
#include "view/figures/statistics.h"
#include "view/page/hour_values.h"

namespace zoneloads {
namespace view {
namespace {

// The names the script knows each position by, in the order of the enums
// (a zone's series by the tool's own names of them, in lower case).
const char* const kBuildingSeriesNames[] = {"qs", "ql", "simultaneous"};
const char* const kComparedSeriesNames[] = {"base", "variant"};
static_assert(std::size(kBuildingSeriesNames) == static_cast<std::size_t>(BuildingSeries::count), "a name per series");
static_assert(std::size(kComparedSeriesNames) == static_cast<std::size_t>(ComparedSeries::count), "a name per series");

// "name:{a:0,b:1,...}" of names in order.
std::string positions(const char* name, const std::vector<std::string>& names) {
    std::string object = std::string(name) + ":{";
    for (std::size_t i = 0; i < names.size(); ++i) object += (i ? "," : "") + names[i] + ":" + std::to_string(i);
    return object + "}";
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// The series of one kind of `data-v`, each at its place, encoded.
template <typename Place, std::size_t N>
struct SeriesList {
    std::array<const std::vector<double>*, N> at{};
    const std::vector<double>*& operator[](Place p) { return at[static_cast<std::size_t>(p)]; }
    std::string encoded() const {
        return encodeHourValues(std::vector<const std::vector<double>*>(at.begin(), at.end()));
    }
};

// The band of one hour (temperatureBands).
double temperatureBand(double t, double high, double low, double tolerance) {
    if (std::isnan(t) || std::isnan(high) || std::isnan(low)) return 1;
    bool above = beyond(t, high, tolerance);
    if (!above && !beyond(-t, -low, tolerance)) return 0;
    double excess = above ? t - high : low - t;
    double level = std::ceil(excess * kTemperatureLevels / kTemperatureScaleK);  // NaN and infinities: the last
    level = level < kTemperatureLevels ? std::fmax(1, level) : kTemperatureLevels;
    return (above ? 1 : 1 + kTemperatureLevels) + level;
}

}  // namespace

std::string figuresText(const SectionFigures& f) {
    std::string text = std::to_string(f.qsRef.hour) + " " + std::to_string(f.qsCal.hour);
    for (const double* months : {f.monthQsPosWh, f.monthQsNegWh}) {
        for (int m = 0; m < kMonthsPerYear; ++m) text += " " + general6(months[m] / 1000);
    }
    return text;
}

std::vector<double> temperatureBands(const SectionHours& hours, double tolerance) {
    std::vector<double> bands(hours.treal.size());
    for (std::size_t h = 0; h < bands.size(); ++h) {
        bands[h] = temperatureBand(hours.treal[h], hours.tmax[h], hours.tmin[h], tolerance);
    }
    return bands;
}

std::string zoneValues(const SectionHours& hours, double tolerance) {
    std::vector<double> bands = temperatureBands(hours, tolerance);
    SeriesList<int, kZoneValueSeries> series;
    series[kQs] = &hours.qs;
    series[kQL] = &hours.ql;
    series[kTreal] = &hours.treal;
    series[kTmax] = &hours.tmax;
    series[kTmin] = &hours.tmin;
    series[kBandSeries] = &bands;
    return series.encoded();
}

std::string buildingValues(const SectionHours& hours) {
    std::vector<double> both(hours.qs.size());
    for (std::size_t h = 0; h < both.size(); ++h) both[h] = simultaneousPart(hours.qsPos[h], hours.qsNeg[h]);
    SeriesList<BuildingSeries, static_cast<std::size_t>(BuildingSeries::count)> series;
    series[BuildingSeries::qs] = &hours.qs;
    series[BuildingSeries::ql] = &hours.ql;
    series[BuildingSeries::simultaneous] = &both;
    return series.encoded();
}

std::string comparedValues(const std::vector<double>& baseQs, const std::vector<double>& variantQs) {
    SeriesList<ComparedSeries, static_cast<std::size_t>(ComparedSeries::count)> series;
    series[ComparedSeries::base] = &baseQs;
    series[ComparedSeries::variant] = &variantQs;
    return series.encoded();
}

std::string sectionLayouts() {
    const char* const fields[] = {"coolingPeak", "heatingPeak", "coolingMonths", "heatingMonths", "count"};
    const int at[] = {kCoolingPeakField, kHeatingPeakField, kCoolingMonthsField, kHeatingMonthsField, kFigureFields};
    std::string object = "figureFields:{";
    for (std::size_t i = 0; i < std::size(at); ++i) {
        object += (i ? "," : "") + std::string(fields[i]) + ":" + std::to_string(at[i]);
    }
    std::vector<std::string> zone(kSeriesNames, kSeriesNames + kViewedSeries);
    for (std::string& name : zone) name = lowerCase(name);
    zone.push_back("band");
    return object + "}," + positions("zoneSeries", zone) + "," +
           positions("buildingSeries", {std::begin(kBuildingSeriesNames), std::end(kBuildingSeriesNames)}) + "," +
           positions("comparedSeries", {std::begin(kComparedSeriesNames), std::end(kComparedSeriesNames)});
}

}  // namespace view
}  // namespace zoneloads
