#include "report/hourly_totals.h"

#include <algorithm>

#include "common/number_format.h"

namespace zoneloads {

void clear(HourlyTotals& totals) {
    std::fill(std::begin(totals.sumQs), std::end(totals.sumQs), 0.0f);
    std::fill(std::begin(totals.sumQL), std::end(totals.sumQL), 0.0f);
    std::fill(std::begin(totals.sumQsNeg), std::end(totals.sumQsNeg), 0.0f);
    std::fill(std::begin(totals.sumQsPos), std::end(totals.sumQsPos), 0.0f);
}

void add(HourlyTotals& totals, int hour, float32 Qs, float32 QL) {
    totals.sumQs[hour] += Qs;
    totals.sumQL[hour] += QL;
    if (Qs > 0) {
        totals.sumQsPos[hour] += Qs;
    } else {
        totals.sumQsNeg[hour] += Qs;
    }
}

void writeSection(const HourlyTotals& totals, ReportOutput& out) {
    writeTextLine(out, "# TOTAL --- Qsensible [w] , Qlatente[W],Qs[w]Sin agregar,Qs[W]sin agregar");
    for (int h = 0; h < kHoursPerYear; ++h) {
        char* p = lineStart(out);
        p = formatFloat32(totals.sumQs[h], p);
        p = appendText(p, " , ");
        p = formatFloat32(totals.sumQL[h], p);
        p = appendText(p, " , ");
        p = formatFloat32(totals.sumQsNeg[h], p);
        p = appendText(p, " , ");
        p = formatFloat32(totals.sumQsPos[h], p);
        endLine(out, p);
    }
}

}  // namespace zoneloads
