#include "view/statistics.h"

#include <cmath>
#include <cstring>

#include "common/number_format.h"
#include "reportfile/report_format.h"

namespace zoneloads {
namespace view {
namespace {

// Where the reading of a section's text found a fault: its line, and what.
struct Fault {
    long long line = 0;
    std::string what;
};

bool faultAt(Fault& fault, long long line, const std::string& what) {
    fault.line = line;
    fault.what = what;
    return false;
}

bool parseField(const Field& f, double& value) { return parseReal(f.text, f.length, value); }

// Starts the summary afresh.
void startSummary(Summary& s) {
    s = Summary{};
    s.maxPosText = "0";
    s.minNegText = "0";
    s.maxQLText = "0";
}

// Takes a zone block's hour of Treal, Tmax and Tmin into its hours outside
// the band, and by how much; an hour where one is no number counts neither way.
void addTemperatures(Summary& s, double t, double high, double low) {
    if (std::isnan(t) || std::isnan(high) || std::isnan(low)) return;
    if (t > high) {
        ++s.hoursAbove;
        s.degreeHoursAbove += t - high;
    } else if (t < low) {
        ++s.hoursBelow;
        s.degreeHoursBelow += low - t;
    }
}

// Takes hour h, in hour order: its QL into the latent peak and Qs + QL into
// the total peak, its Qs (`qsText` as the report writes it) into the peaks
// and counts, its energy parts into the sums. An hour whose Qs is not a
// number is only counted as such (and makes no total peak).
void addHour(SectionFigures& figures, int h, double qs, const Field& qsText, double pos, double neg, double ql) {
    Summary& s = figures.summary;
    figures.qs[static_cast<std::size_t>(h)] = qs;
    figures.ql[static_cast<std::size_t>(h)] = ql;
    if (ql > s.maxQL) {
        s.maxQL = ql;
        s.maxQLHour = h;
    }
    if (qs + ql > s.maxTotal) {  // never when either is no number
        s.maxTotal = qs + ql;
        s.maxTotalHour = h;
    }
    if (std::isnan(qs)) {
        ++s.nanHours;
        return;
    }
    if (qs > 0) {
        ++s.hoursPos;
        if (qs > s.maxPos) {
            s.maxPos = qs;
            s.maxPosText.assign(qsText.text, qsText.length);
            s.maxPosHour = h;
        }
    } else if (qs < 0) {
        ++s.hoursNeg;
        if (qs < s.minNeg) {
            s.minNeg = qs;
            s.minNegText.assign(qsText.text, qsText.length);
            s.minNegHour = h;
        }
    }
    int month = hourMonth(h);
    s.sumPosWh += pos;
    s.sumNegWh += neg;
    s.sumQLWh += ql;
    s.monthPosWh[month] += pos;
    s.monthNegWh[month] += neg;
    s.monthQLWh[month] += ql;
}

const char* const kColumnNames[kHourFields] = {"Treal", "Tmax", "Tmin", "Qs", "QL", "VventInf", "daCal", "daRef"};

// What is wrong with a line that is no hourly line of the grammar.
std::string hourLineFault(std::string_view line) {
    Field f[kHourFields];
    if (!splitHourLine(line, f)) return "una linea horaria tiene 8 numeros separados por \" , \"";
    for (int c = kTreal; c <= kVventInf; ++c) {
        double ignored;
        if (!parseField(f[c], ignored)) return std::string(kColumnNames[c]) + " no es un numero";
    }
    for (int c : {kDaCal, kDaRef}) {
        if (!isIntegerText(f[c].text, f[c].length)) return std::string(kColumnNames[c]) + " no es un entero de 32 bits";
    }
    return "no es una linea horaria";
}

// The hourly lines of a zone block and its extremes line. Every column must
// be a number of the grammar: a real, or an int32 for daCal and daRef.
bool readZoneHours(const Section& section, SectionFigures& figures, Fault& fault) {
    const char* p = section.text.data();
    HourLineMemo memo;
    for (int h = 0; h <= kHoursPerYear; ++h) {
        const char* next;
        std::string_view line = sectionLine(section, p, next);
        long long number = section.firstLine + h;
        if (h == kHoursPerYear) {
            Field f[2];
            double v[2];
            if (!splitFields(line, kSeparator, f, 2) || !parseField(f[0], v[0]) || !parseField(f[1], v[1])) {
                return faultAt(fault, number, "se esperaban 2 numeros (la linea de extremos)");
            }
            break;
        }
        Field f[kHourFields];
        double values[kVventInf + 1];
        if (!readHourLine(line, memo, values, f)) return faultAt(fault, number, hourLineFault(line));
        double qs = values[kQs];
        auto at = static_cast<std::size_t>(h);
        figures.treal[at] = values[kTreal];
        figures.tmax[at] = values[kTmax];
        figures.tmin[at] = values[kTmin];
        addTemperatures(figures.summary, values[kTreal], values[kTmax], values[kTmin]);
        addHour(figures, h, qs, f[kQs], qs > 0 ? qs : 0, qs < 0 ? qs : 0, values[kQL]);
        p = next;
    }
    return true;
}

// The lines of the totals section: sum, latent, non-positive, positive.
bool readTotalsHours(const Section& section, SectionFigures& figures, Fault& fault) {
    const char* p = section.text.data();
    for (int h = 0; h < kHoursPerYear; ++h) {
        const char* next;
        std::string_view line = sectionLine(section, p, next);
        Field f[kTotalsFields];
        double v[kTotalsFields];
        if (!splitFields(line, kSeparator, f, kTotalsFields)) {
            return faultAt(fault, section.firstLine + h, "se esperaban 4 campos (una linea de totales)");
        }
        for (int i = 0; i < kTotalsFields; ++i) {
            if (!parseField(f[i], v[i])) {
                return faultAt(fault, section.firstLine + h,
                               "campo " + std::to_string(i + 1) + " no es un numero (una linea de totales)");
            }
        }
        figures.neg[static_cast<std::size_t>(h)] = v[2];
        figures.pos[static_cast<std::size_t>(h)] = v[3];
        addHour(figures, h, v[0], f[0], v[3], v[2], v[1]);
        p = next;
    }
    return true;
}

}  // namespace

std::string reportText(double value) {
    char text[kMaxNumberChars];
    return std::string(text, formatFloat32(static_cast<float32>(value), text));
}

int dayStart(int hour) { return hour - hour % kHoursPerDay; }

bool readFigures(const std::string& fileName, const Section& section, SectionFigures& figures, std::string& error) {
    Fault fault;
    startSummary(figures.summary);
    const std::size_t totalsHours = section.totals ? kHoursPerYear : 0;
    const std::size_t zoneHours = section.totals ? 0 : kHoursPerYear;
    // Every hour is written below (or the section is refused): figures used
    // for an earlier section of the same kind keep their memory as it is.
    figures.neg.resize(totalsHours);
    figures.pos.resize(totalsHours);
    figures.treal.resize(zoneHours);
    figures.tmax.resize(zoneHours);
    figures.tmin.resize(zoneHours);
    bool read = section.totals ? readTotalsHours(section, figures, fault) : readZoneHours(section, figures, fault);
    if (!read) {
        error = fileName + ", linea " + std::to_string(fault.line) + ": " + fault.what;
        return false;
    }
    if (figures.summary.maxQLHour >= 0) figures.summary.maxQLText = reportText(figures.summary.maxQL);
    figures.summary.temperatures = !section.totals;
    return true;
}

}  // namespace view
}  // namespace zoneloads
