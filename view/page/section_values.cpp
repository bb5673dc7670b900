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

// The names the script knows each position by, in the order of the enums.
const char* const kZoneSeriesNames[] = {"qs", "ql", "treal", "tmax", "tmin", "band"};
const char* const kBuildingSeriesNames[] = {"qs", "ql", "simultaneous"};
const char* const kComparedSeriesNames[] = {"base", "variant"};
static_assert(std::size(kZoneSeriesNames) == static_cast<std::size_t>(ZoneSeries::count), "a name per series");
static_assert(std::size(kBuildingSeriesNames) == static_cast<std::size_t>(BuildingSeries::count), "a name per series");
static_assert(std::size(kComparedSeriesNames) == static_cast<std::size_t>(ComparedSeries::count), "a name per series");

// "name:{a:0,b:1,...}" of names in order.
template <std::size_t N>
std::string positions(const char* name, const char* const (&names)[N]) {
    std::string object = std::string(name) + ":{";
    for (std::size_t i = 0; i < N; ++i) object += (i ? "," : "") + std::string(names[i]) + ":" + std::to_string(i);
    return object + "}";
}

// The series of one kind of `data-v`, each at its enum's place, encoded.
template <typename Series, std::size_t N = static_cast<std::size_t>(Series::count)>
struct SeriesList {
    std::array<const std::vector<double>*, N> at{};
    const std::vector<double>*& operator[](Series s) { return at[static_cast<std::size_t>(s)]; }
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
    SeriesList<ZoneSeries> series;
    series[ZoneSeries::qs] = &hours.qs;
    series[ZoneSeries::ql] = &hours.ql;
    series[ZoneSeries::treal] = &hours.treal;
    series[ZoneSeries::tmax] = &hours.tmax;
    series[ZoneSeries::tmin] = &hours.tmin;
    series[ZoneSeries::band] = &bands;
    return series.encoded();
}

std::string buildingValues(const SectionHours& hours) {
    std::vector<double> both(hours.qs.size());
    for (std::size_t h = 0; h < both.size(); ++h) both[h] = simultaneousPart(hours.qsPos[h], hours.qsNeg[h]);
    SeriesList<BuildingSeries> series;
    series[BuildingSeries::qs] = &hours.qs;
    series[BuildingSeries::ql] = &hours.ql;
    series[BuildingSeries::simultaneous] = &both;
    return series.encoded();
}

std::string comparedValues(const std::vector<double>& baseQs, const std::vector<double>& variantQs) {
    SeriesList<ComparedSeries> series;
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
    return object + "}," + positions("zoneSeries", kZoneSeriesNames) + "," +
           positions("buildingSeries", kBuildingSeriesNames) + "," + positions("comparedSeries", kComparedSeriesNames);
}

}  // namespace view
}  // namespace zoneloads
