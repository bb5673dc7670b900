#include "report/hourly_totals.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "common/number_format.h"
#include "reportfile/report_format.h"

namespace zoneloads {

void HourlyTotals::clear() {
    std::fill(std::begin(sumQs), std::end(sumQs), 0.0f);
    std::fill(std::begin(sumQL), std::end(sumQL), 0.0f);
    std::fill(std::begin(sumQsNeg), std::end(sumQsNeg), 0.0f);
    std::fill(std::begin(sumQsPos), std::end(sumQsPos), 0.0f);
}

void HourlyTotals::add(int hour, float32 Qs, float32 QL) {
    sumQs[hour] += Qs;
    sumQL[hour] += QL;
    if (Qs > 0) {
        sumQsPos[hour] += Qs;
    } else {
        sumQsNeg[hour] += Qs;
    }
}

void HourlyTotals::addZone(const float32* Qs, const float32* QL) {
    for (int h = 0; h < kHoursPerYear; ++h) add(h, Qs[h], QL[h]);
}

void HourlyTotals::writeSection(OutputFile& out) const {
    // Four reals of at most 12 characters, three separators and the line end,
    // and the formatter's slack past the last line.
    constexpr std::size_t kMaxTotalsLineBytes = 4 * 12 + 3 * 3 + 2;
    const std::size_t capacity = kMaxLineBytes + kHoursPerYear * kMaxTotalsLineBytes + kMaxNumberChars;
    std::unique_ptr<char[]> text(new char[capacity]);
    char* at = writeTextLine(text.get(), kTotalsTitle);
    for (int h = 0; h < kHoursPerYear; ++h) at = writeTotalsLine(at, sumQs[h], sumQL[h], sumQsNeg[h], sumQsPos[h]);
    writeOutput(out, text.get(), static_cast<std::size_t>(at - text.get()));
}

}  // namespace zoneloads
