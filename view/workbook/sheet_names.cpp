#include "view/workbook/sheet_names.h"

#include <algorithm>
#include <set>

#include "common/calendar.h"
#include "common/platform.h"
#include "common/text_encoding.h"

namespace zoneloads {
namespace view {
namespace {

constexpr std::size_t kNameUnits = 31;  // the longest sheet name, in UTF-16 units

// A sheet name as a spreadsheet compares names: whatever its case, a final
// sigma as any other (which not every system's table says).
std::u32string foldedName(const std::string& name) {
    std::u32string codes = utf32FromUtf8(name);
    std::replace(codes.begin(), codes.end(), U'\u03c2', U'\u03c3');
    return upperCase(codes);
}

// The length of a character as a spreadsheet counts it, in UTF-16 units:
// two past U+FFFF.
std::size_t unitsOf(char32_t c) { return c < 0x10000 ? 1 : 2; }

std::size_t units(const std::u32string& text) {
    std::size_t n = 0;
    for (char32_t c : text) n += unitsOf(c);
    return n;
}

// The longest start of `text` within `room` units.
std::u32string headWithin(const std::u32string& text, std::size_t room) {
    std::size_t end = 0;
    for (std::size_t used = 0; end < text.size() && used + unitsOf(text[end]) <= room; ++end)
        used += unitsOf(text[end]);
    return text.substr(0, end);
}

// The longest end of `text` within `room` units.
std::u32string tailWithin(const std::u32string& text, std::size_t room) {
    std::size_t start = text.size();
    for (std::size_t used = 0; start > 0 && used + unitsOf(text[start - 1]) <= room; --start) {
        used += unitsOf(text[start - 1]);
    }
    return text.substr(start);
}

// The stem of a report's file name as a sheet may hold it: its last part
// without the extension, shown as text, without the characters a sheet's
// name may not hold.
std::u32string sheetStem(const std::string& reportName) {
    std::string stem = reportName;
    std::size_t slash = stem.find_last_of("/\\");
    if (slash != std::string::npos) stem = stem.substr(slash + 1);
    std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem = stem.substr(0, dot);
    std::u32string clean;
    for (char32_t c : utf32FromUtf8(displayFileName(stem))) {
        if (std::u32string(U"[]:*?/\\'").find(c) == std::u32string::npos) clean += c;
    }
    return clean;
}

// `stem` in at most `room` units: a stem too long keeps its start and its
// end, which tell names apart most often, joined by an ellipsis.
std::u32string shortened(const std::u32string& stem, std::size_t room) {
    if (units(stem) <= room) return stem;
    std::size_t tail = (room - 1) / 2;
    return headWithin(stem, room - 1 - tail) + U"\u2026" + tailWithin(stem, tail);
}

std::u32string asCodePoints(const std::string& ascii) { return std::u32string(ascii.begin(), ascii.end()); }

// The name of sheet `k` (0 ..) of a table: `prefix` and `stem`, then " (2)",
// " (3)" ... on the sheets after the first; never more than kNameUnits.
std::string continued(const std::u32string& prefix, const std::u32string& stem, std::size_t k) {
    std::u32string suffix = k > 0 ? asCodePoints(" (" + std::to_string(k + 1) + ")") : U"";
    return utf8FromUtf32(prefix + shortened(stem, kNameUnits - units(prefix) - suffix.size()) + suffix);
}

std::size_t sheetsFor(std::size_t items, std::size_t perSheet) {
    return std::max<std::size_t>(1, (items + perSheet - 1) / perSheet);
}

std::size_t summaryRows(const std::vector<ReportFigures>& reports) {
    std::size_t rows = 0;
    for (const ReportFigures& r : reports) rows += r.rows.size();
    return rows;
}

std::size_t peakDayRows(const std::vector<ReportFigures>& reports) {
    std::size_t rows = 0;
    for (const ReportFigures& r : reports) {
        for (const PeakDay& day : r.peakDays) rows += day.firstHour >= 0 ? kHoursPerDay : 0;
    }
    return rows;
}

// Adds the names of a table's `count` sheets to the plan.
void nameTable(SheetPlan& plan, std::set<std::u32string>& taken, const std::u32string& prefix,
               const std::u32string& stem, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        plan.names.push_back(continued(prefix, stem, k));
        taken.insert(foldedName(plan.names.back()));
    }
}

// True when none of a table's names is taken yet.
bool tableIsFree(const std::set<std::u32string>& taken, const std::u32string& prefix, const std::u32string& stem,
                 std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        if (taken.count(foldedName(continued(prefix, stem, k)))) return false;
    }
    return true;
}

}  // namespace

SheetPlan planSheets(const std::vector<ReportFigures>& reports, std::size_t differences, const WorkbookLimits& limits) {
    SheetPlan plan;
    const std::size_t rows = limits.rowsPerSheet - 1;        // under the header
    const std::size_t columns = limits.columnsPerSheet - 1;  // beside the first
    plan.summary = sheetsFor(summaryRows(reports), rows);
    plan.comparison = differences > 0 ? sheetsFor(differences, rows) : 0;
    plan.monthly = sheetsFor(3 * summaryRows(reports) + reports.size(), rows);  // a fourth row for each building
    plan.charts = sheetsFor(reports.size(), std::max<std::size_t>(1, limits.rowsPerSheet / kChartRows));
    plan.duration = sheetsFor(reports.size(), columns);
    plan.peakDays = sheetsFor(peakDayRows(reports), rows);
    std::set<std::u32string> taken;
    nameTable(plan, taken, U"", U"Resumen", plan.summary);
    nameTable(plan, taken, U"", U"Comparaci\u00f3n", plan.comparison);
    nameTable(plan, taken, U"", U"Mensual", plan.monthly);
    nameTable(plan, taken, U"", U"Gr\u00e1ficos", plan.charts);
    nameTable(plan, taken, U"", U"Duraci\u00f3n", plan.duration);
    nameTable(plan, taken, U"", U"D\u00edas pico", plan.peakDays);
    for (const ReportFigures& report : reports) {
        std::size_t blocks = report.rows.size() - 1;
        plan.hourly.push_back(blocks == 0 ? 1 : sheetsFor(blocks, limits.zoneColumnsPerSheet));
        const std::u32string prefix = U"Horas ";
        std::u32string stem = sheetStem(report.name);
        std::u32string unique = stem;
        for (int n = 2; !tableIsFree(taken, prefix, unique, plan.hourly.back()); ++n) {
            // A number that tells equal names apart; the stem gives way to it.
            std::u32string number = asCodePoints(" " + std::to_string(n));
            unique = shortened(stem, kNameUnits - units(prefix) - number.size() - 5) + number;
        }
        nameTable(plan, taken, prefix, unique, plan.hourly.back());
    }
    return plan;
}

std::vector<std::string> workbookSheetNames(const std::vector<ReportFigures>& reports, const WorkbookLimits& limits,
                                            std::size_t differences) {
    return planSheets(reports, differences, limits).names;
}

}  // namespace view
}  // namespace zoneloads
