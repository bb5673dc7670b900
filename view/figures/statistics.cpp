#include "view/figures/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/number_display.h"

namespace zoneloads {
namespace view {
namespace {

// Takes a zone block's hour of Treal, Tmax and Tmin into its hours outside
// the band, and by how much; an hour where one is no number counts neither way.
void addTemperatures(SectionFigures& f, double t, double high, double low) {
    if (std::isnan(t) || std::isnan(high) || std::isnan(low)) return;
    if (beyond(t, high, f.tolerance)) {
        ++f.hoursAbove;
        f.degreeHoursAbove += t - high;
    } else if (beyond(-t, -low, f.tolerance)) {
        ++f.hoursBelow;
        f.degreeHoursBelow += low - t;
    }
}

// Takes the building's hour h into its net energies and its simultaneous
// heating and cooling.
void addBuildingHour(SectionFigures& f, int h, int month, double qs, double pos, double neg) {
    if (std::isnan(qs)) return;  // left out, as from every other figure
    if (qs > 0) f.qsNetPosWh += qs;
    if (qs < 0) f.qsNetNegWh += qs;
    double both = simultaneousPart(pos, neg);
    if (!(both > 0)) return;
    ++f.hoursSimultaneous;
    f.simultaneousWh += both;
    f.monthSimultaneousWh[month] += both;
    if (both > f.simultaneous.value) f.simultaneous = {both, "", h};
}

// Takes hour h, in hour order: its QL into the latent peak and Qs + QL into
// the total peak, its Qs into the peaks and counts, its energy parts into
// the sums. An hour whose Qs is no number is only counted as such.
void addHour(SectionFigures& f, int h, int month, double qs, double pos, double neg, double ql) {
    if (std::isnan(qs)) {
        ++f.nanHours;
        return;
    }
    if (ql > f.ql.value) {
        f.ql.value = ql;
        f.ql.hour = h;
    }
    if (qs + ql > f.total.value) {  // never when QL is no number
        f.total.value = qs + ql;
        f.total.hour = h;
    }
    if (qs > 0) {
        ++f.hoursQsPos;
        if (qs > f.qsRef.value) f.qsRef = {qs, "", h};
    } else if (qs < 0) {
        ++f.hoursQsNeg;
        if (qs < f.qsCal.value) f.qsCal = {qs, "", h};
    }
    f.qsPosWh += pos;
    f.qsNegWh += neg;
    f.qlWh += ql;
    f.monthQsPosWh[month] += pos;
    f.monthQsNegWh[month] += neg;
    f.monthQLWh[month] += ql;
}

// A peak's text: the report's own for a value the report wrote.
void setReportText(Peak& peak) { peak.text = peak.hour >= 0 ? reportText(peak.value) : "0"; }

}  // namespace

bool beyond(double t, double limit, double tolerance) {
    double excess = t - limit;
    if (std::isnan(excess)) return false;     // what is no number is never outside
    if (!(tolerance > 0)) return excess > 0;  // every excess counts, however small
    double scale = std::max(1.0, std::fabs(limit));
    if (std::isfinite(t)) scale = std::max(scale, std::fabs(t));
    return excess - tolerance > 1e-9 * scale;
}

double simultaneousPart(double qsPos, double qsNeg) {
    if (!(qsPos > 0) || !(qsNeg < 0)) return 0;  // not both, or no number
    return std::min(qsPos, -qsNeg);
}

SectionFigures sectionFigures(const SectionHours& hours, double tolerance) {
    SectionFigures f;
    f.tolerance = tolerance;
    const bool building = !hours.qsPos.empty();
    for (int month = 0, h = 0; month < kMonthsPerYear; ++month) {
        for (const int end = (monthStartDay(month) + monthDays(month)) * kHoursPerDay; h < end; ++h) {
            auto at = static_cast<std::size_t>(h);
            double qs = hours.qs[at];
            if (building) {
                addHour(f, h, month, qs, hours.qsPos[at], hours.qsNeg[at], hours.ql[at]);
                addBuildingHour(f, h, month, qs, hours.qsPos[at], hours.qsNeg[at]);
            } else {
                // An hour whose Qs is no number is left out of every figure, its temperatures' too.
                if (!std::isnan(qs)) addTemperatures(f, hours.treal[at], hours.tmax[at], hours.tmin[at]);
                addHour(f, h, month, qs, qs > 0 ? qs : 0, qs < 0 ? qs : 0, hours.ql[at]);
            }
        }
    }
    setReportText(f.qsRef);
    setReportText(f.qsCal);
    setReportText(f.ql);
    f.total.text = general6(f.total.value);
    f.simultaneous.text = general6(f.simultaneous.value);
    f.temperatures = !building;
    f.building = building;
    if (!building) {
        f.qsNetPosWh = f.qsPosWh;
        f.qsNetNegWh = f.qsNegWh;
    }
    return f;
}

// Sorted by a radix sort of their float32 keys (one such sort per section
// costs far less than a comparison sort): three digits of 11 bits, counted
// in one pass; a digit that all keys share needs no pass of its own. Each key
// carries the position of its value, so the values come out as they went
// in: the report's, not their float32. (Distinct values a report writes are
// distinct float32s, so their keys order them exactly.)
std::vector<double> sortedDescending(const std::vector<double>& values) {
    constexpr int kDigits = 3, kBits = 11, kBuckets = 1 << kBits;
    std::vector<std::uint64_t> keys(values.size()), other(values.size());  // key << 32 | position
    std::vector<std::uint32_t> counts(kDigits * kBuckets, 0);
    std::size_t n = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        double v = values[i];
        if (std::isnan(v)) continue;
        float f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        std::uint32_t key = bits >> 31 ? ~bits : bits | 0x80000000u;  // ascending as unsigned
        keys[n++] = std::uint64_t{key} << 32 | i;
        for (int d = 0; d < kDigits; ++d) ++counts[d * kBuckets + ((key >> (d * kBits)) & (kBuckets - 1))];
    }
    keys.resize(n);
    other.resize(n);
    auto digit = [](std::uint64_t k, int d) { return (k >> (32 + d * kBits)) & (kBuckets - 1); };
    for (int d = 0; d < kDigits; ++d) {
        std::uint32_t* count = &counts[static_cast<std::size_t>(d * kBuckets)];
        if (n == 0 || count[digit(keys[0], d)] == n) continue;
        std::uint32_t start = 0;
        for (int b = 0; b < kBuckets; ++b) {
            std::uint32_t c = count[b];
            count[b] = start;
            start += c;
        }
        for (std::uint64_t k : keys) other[count[digit(k, d)]++] = k;
        keys.swap(other);
    }
    std::vector<double> sorted(n);
    for (std::size_t i = 0; i < n; ++i) sorted[i] = values[keys[n - 1 - i] & 0xFFFFFFFFu];
    return sorted;
}

double simultaneity(double buildingPeak, double zonePeaks) {
    double ratio = buildingPeak / zonePeaks;
    bool defined = zonePeaks != 0 && std::isfinite(zonePeaks) && std::isfinite(ratio);
    return defined ? ratio : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace view
}  // namespace zoneloads
