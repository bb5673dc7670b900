#include "reportfile/section_hours.h"

#include <algorithm>
#include <cstring>

#include "common/calendar.h"
#include "common/number_format.h"
#include "common/text_encoding.h"
#include "reportfile/report_format.h"

namespace zoneloads {
namespace {

// The line that starts at `p` in a section's text, without its line end;
// `next` is set to where the line after it starts.
std::string_view sectionLine(const Section& section, const char* p, const char*& next) {
    const char* stop = static_cast<const char*>(
        std::memchr(p, '\n', static_cast<std::size_t>(section.text.data() + section.text.size() - p)));
    next = stop + 1;
    if (stop > p && stop[-1] == '\r') --stop;
    return std::string_view(p, static_cast<std::size_t>(stop - p));
}

// Where the reading of a section's lines found a fault: its line, and what.
struct LineFault {
    long long line = 0;
    std::string what;
};

bool faultAt(LineFault& fault, long long line, const std::string& what) {
    fault.line = line;
    fault.what = what;
    return false;
}

bool parseField(const Field& f, double& value) { return parseReal(f.text, f.length, value); }

// What is wrong with a line that is no hourly line of the grammar.
std::string hourLineFault(std::string_view line) {
    Field f[kHourFields];
    if (!splitHourLine(line, f)) return "una l\u00ednea horaria tiene 8 n\u00fameros separados por \" , \"";
    for (int c = 0; c < kRealSeries; ++c) {
        double ignored;
        if (!parseField(f[c], ignored)) return std::string(kSeriesNames[kHourLineSeries[c]]) + " no es un n\u00famero";
    }
    for (auto [c, name] : {std::pair{kDaCalField, "daCal"}, std::pair{kDaRefField, "daRef"}}) {
        if (!isIntegerText(f[c].text, f[c].length)) return std::string(name) + " no es un entero de 32 bits";
    }
    return "no es una l\u00ednea horaria";
}

// The hourly lines of a zone block, then its extremes line; only the first
// `lines` of them when the section holds no more.
bool readZoneHours(const Section& section, SectionHours& hours, LineFault& fault, int lines = kHoursPerYear + 1) {
    const char* p = section.text.data();
    LastReadLine last;
    for (int h = 0; h < std::min(lines, kHoursPerYear); ++h) {
        const char* next;
        std::string_view line = sectionLine(section, p, next);
        double values[kRealSeries];
        if (!readHourLine(line, last, values, nullptr)) {
            return faultAt(fault, section.firstLine + h, hourLineFault(line));
        }
        auto at = static_cast<std::size_t>(h);
        hours.treal[at] = values[hourField(kTreal)];
        hours.tmax[at] = values[hourField(kTmax)];
        hours.tmin[at] = values[hourField(kTmin)];
        hours.qs[at] = values[hourField(kQs)];
        hours.ql[at] = values[hourField(kQL)];
        p = next;
    }
    if (lines <= kHoursPerYear) return true;
    const char* next;
    std::string_view line = sectionLine(section, p, next);
    Field f[2];
    double v[2];
    if (!splitFields(line, kSeparator, f, 2) || !parseField(f[0], v[0]) || !parseField(f[1], v[1])) {
        return faultAt(fault, section.firstLine + kHoursPerYear,
                       "se esperaban 2 n\u00fameros (la l\u00ednea de extremos)");
    }
    return true;
}

// The lines of the totals section: sum, latent, not above 0, above 0; only
// the first `lines` of them when the section holds no more.
bool readTotalsHours(const Section& section, SectionHours& hours, LineFault& fault, int lines = kHoursPerYear) {
    const char* p = section.text.data();
    for (int h = 0; h < lines; ++h) {
        const char* next;
        std::string_view line = sectionLine(section, p, next);
        Field f[kTotalsFields];
        double v[kTotalsFields];
        if (!splitFields(line, kSeparator, f, kTotalsFields)) {
            return faultAt(fault, section.firstLine + h, "se esperaban 4 campos (una l\u00ednea de totales)");
        }
        for (int i = 0; i < kTotalsFields; ++i) {
            if (!parseField(f[i], v[i])) {
                return faultAt(fault, section.firstLine + h,
                               "campo " + std::to_string(i + 1) + " no es un n\u00famero (una l\u00ednea de totales)");
            }
        }
        auto at = static_cast<std::size_t>(h);
        hours.qs[at] = v[0];
        hours.ql[at] = v[1];
        hours.qsNeg[at] = v[2];
        hours.qsPos[at] = v[3];
        p = next;
    }
    return true;
}

// The hours of a section of values, in the order of Series or TotalsSeries.
bool valuesHours(const Section& section, SectionHours& hours) {
    std::vector<double>* zone[kViewedSeries] = {&hours.qs, &hours.ql, &hours.treal, &hours.tmax, &hours.tmin};
    std::vector<double>* totals[kTotalsFields] = {&hours.qs, &hours.ql, &hours.qsNeg, &hours.qsPos};
    std::vector<double>** series = section.totals ? totals : zone;
    const std::size_t count = section.totals ? kTotalsFields : kViewedSeries;
    if (section.values.size() != count * kHoursPerYear) return false;
    for (std::size_t k = 0; k < count; ++k)
        float32TextValues(section.values.data() + k * kHoursPerYear, kHoursPerYear, series[k]->data());
    return true;
}

}  // namespace

std::string reportLineMessage(const std::string& fileName, long long line, const std::string& what) {
    return displayFileName(fileName) + ", l\u00ednea " + std::to_string(line) + ": " + what;
}

bool readSectionHours(const std::string& fileName, const Section& section, SectionHours& hours, std::string& error) {
    // Every hour is written below (or the section is refused): hours used
    // for an earlier section of the same kind keep their memory as it is.
    const std::size_t year = kHoursPerYear;
    hours.qs.resize(year);
    hours.ql.resize(year);
    for (std::vector<double>* zoneOnly : {&hours.treal, &hours.tmax, &hours.tmin})
        zoneOnly->resize(section.totals ? 0 : year);
    for (std::vector<double>* totalsOnly : {&hours.qsNeg, &hours.qsPos}) totalsOnly->resize(section.totals ? year : 0);
    if (section.text.empty() && !section.values.empty()) {
        if (valuesHours(section, hours)) return true;
        error = displayFileName(fileName) + ": error interno (una secci\u00f3n sin todos sus valores)";
        return false;
    }
    LineFault fault;
    bool read = section.totals ? readTotalsHours(section, hours, fault) : readZoneHours(section, hours, fault);
    if (!read) error = reportLineMessage(fileName, fault.line, fault.what);
    return read;
}

bool namedFaultyLine(const std::string& fileName, const Section& section, std::string& error) {
    auto lines = static_cast<int>(std::count(section.text.begin(), section.text.end(), '\n'));
    SectionHours hours;
    for (std::vector<double>* series :
         {&hours.qs, &hours.ql, &hours.treal, &hours.tmax, &hours.tmin, &hours.qsNeg, &hours.qsPos}) {
        series->resize(kHoursPerYear);
    }
    LineFault fault;
    bool read =
        section.totals ? readTotalsHours(section, hours, fault, lines) : readZoneHours(section, hours, fault, lines);
    if (!read) error = reportLineMessage(fileName, fault.line, fault.what);
    return !read;
}

}  // namespace zoneloads
