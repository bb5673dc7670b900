#include "view/workbook/workbook.h"

#include <minizip/unzip.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <map>
#include <set>

#include "common/calendar.h"
#include "common/number_display.h"
#include "common/number_format.h"
#include "common/platform.h"
#include "common/text_encoding.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

constexpr int kBandHours = 128;                 // hours of every column read from the hours file at a time
constexpr int kMonthColumn = 4;                 // the Mensual sheet's first month column (E)
constexpr int kChartRows = 22;                  // rows of the Graficos sheet given to each report
constexpr std::size_t kOtherOpenFiles = 32;     // the run's other files, the library's own beside the sheets'
constexpr std::size_t kNameUnits = 31;          // the longest sheet name, in UTF-16 units
constexpr std::size_t kTextCharacters = 32767;  // the longest text of a cell

// The cell formats of the workbook: the header's, and how each kind of
// number is shown (a spreadsheet's formats, the same in every locale).
struct Formats {
    lxw_format* header;
    lxw_format* date;
    lxw_format* watts;
    lxw_format* kilowattHours;
    lxw_format* hours;
    lxw_format* kelvins;
    lxw_format* percent;
    lxw_format* block;  // a block's number or TOTAL, centred apart from the zone's name
};

lxw_format* formatOf(CellFormat format, const Formats& formats) {
    switch (format) {
        case CellFormat::watts: return formats.watts;
        case CellFormat::kilowattHours:
        case CellFormat::kelvinHours: return formats.kilowattHours;
        case CellFormat::hours: return formats.hours;
        case CellFormat::kelvins: return formats.kelvins;
        case CellFormat::percent: return formats.percent;
        case CellFormat::date: return formats.date;
        default: return nullptr;
    }
}

// ---- Sheet names ----

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

// The sheets of the workbook, in order: per table, how many sheets it runs
// over, and their names.
struct SheetPlan {
    std::size_t summary = 1, comparison = 0, monthly = 1, charts = 1, duration = 1, peakDays = 1;
    std::vector<std::size_t> hourly;  // per report
    std::vector<std::string> names;
};

std::size_t sheetsFor(std::size_t items, std::size_t perSheet) {
    return std::max<std::size_t>(1, (items + perSheet - 1) / perSheet);
}

std::size_t summaryRows(const std::vector<WorkbookReport>& reports) {
    std::size_t rows = 0;
    for (const WorkbookReport& r : reports) rows += r.rows.size();
    return rows;
}

std::size_t peakDayRows(const std::vector<WorkbookReport>& reports) {
    std::size_t rows = 0;
    for (const WorkbookReport& r : reports) {
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

SheetPlan planSheets(const std::vector<WorkbookReport>& reports, std::size_t differences,
                     const WorkbookLimits& limits) {
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
    for (const WorkbookReport& report : reports) {
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

// ---- Cells ----

// A value as the report writes it: a number, or its text ("nan", "-inf")
// where a spreadsheet has no such number.
void writeValue(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, double value, lxw_format* format = nullptr) {
    if (std::isfinite(value)) {
        worksheet_write_number(sheet, row, col, value, format);
        return;
    }
    char text[kMaxNumberChars + 1];
    *formatFloat32(static_cast<float32>(value), text) = '\0';
    worksheet_write_string(sheet, row, col, text, nullptr);
}

// Text as a cell holds it: at most kTextCharacters characters.
std::string cellText(std::string text) {
    if (text.size() <= kTextCharacters) return text;  // a byte is at most a character
    std::u32string codes = utf32FromUtf8(text);
    if (codes.size() > kTextCharacters) codes.resize(kTextCharacters);
    return utf8FromUtf32(codes);
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& utf8,
               lxw_format* format = nullptr) {
    worksheet_write_string(sheet, row, col, cellText(utf8).c_str(), format);
}

// A name, a report's file name or a zone's, as the page shows it; always
// text, never a formula.
void writeName(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& name) {
    writeText(sheet, row, col, displayFileName(name));
}

// A row's first three cells: the report, the block (or TOTAL) and the zone.
void writeRowLabel(lxw_worksheet* sheet, lxw_row_t row, const std::string& report, const SummaryRow& r,
                   const Formats& formats) {
    writeName(sheet, row, 0, report);
    if (isBuilding(r)) {
        writeText(sheet, row, 1, "TOTAL", formats.block);
    } else {
        worksheet_write_number(sheet, row, 1, r.block, formats.block);
        writeName(sheet, row, 2, r.zone);
    }
}

// Columns first to last `width` characters wide, one by one: a spreadsheet
// program refuses a file whose column ranges overlap, as a range set over
// columns that have widths of their own would.
void setWidth(lxw_worksheet* sheet, lxw_col_t first, lxw_col_t last, double width) {
    for (lxw_col_t c = first; c <= last; ++c) worksheet_set_column(sheet, c, c, width, nullptr);
}

// The header row, each column wide enough for its header (over at most
// three lines of the header's height) and for `least` characters of values.
void writeHeader(lxw_worksheet* sheet, const std::vector<std::string>& names, const Formats& formats,
                 double least = 10) {
    worksheet_set_row(sheet, 0, 45, nullptr);  // three lines of text
    for (std::size_t c = 0; c < names.size(); ++c) {
        writeText(sheet, 0, static_cast<lxw_col_t>(c), names[c], formats.header);
        double characters = static_cast<double>(utf32FromUtf8(names[c]).size());
        double width = std::max(least, std::min(40.0, characters / 2.5 + 2));
        setWidth(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width);
    }
}

// ---- Tables that run on over further sheets ----

// Rows under one header, on as many sheets as they need.
struct RowTable {
    std::vector<lxw_worksheet*> sheets;
    std::size_t rowsPerSheet;  // under the header
    std::size_t next = 0;      // rows given so far
};

// The sheets of a table, from the plan, each started as `start` starts it.
template <typename Start>
RowTable rowTable(std::vector<lxw_worksheet*>::const_iterator& sheets, std::size_t count, const WorkbookLimits& limits,
                  Start start) {
    RowTable table{std::vector<lxw_worksheet*>(sheets, sheets + static_cast<std::ptrdiff_t>(count)),
                   limits.rowsPerSheet - 1};
    sheets += static_cast<std::ptrdiff_t>(count);
    for (lxw_worksheet* sheet : table.sheets) start(sheet);
    return table;
}

// The sheet and row of the table's next row.
lxw_worksheet* nextRow(RowTable& table, lxw_row_t& row) {
    std::size_t k = table.next++;
    row = static_cast<lxw_row_t>(1 + k % table.rowsPerSheet);
    return table.sheets[std::min(k / table.rowsPerSheet, table.sheets.size() - 1)];
}

// Where a row of a table stands: the name of its sheet and its row.
struct CellPlace {
    std::string sheet;
    lxw_row_t row;
};

CellPlace placeOfRow(const std::vector<std::string>& names, std::size_t firstSheet, std::size_t k,
                     std::size_t rowsPerSheet) {
    return {names[firstSheet + k / rowsPerSheet], static_cast<lxw_row_t>(1 + k % rowsPerSheet)};
}

// ---- The sheets ----

void startSummarySheet(lxw_worksheet* sheet, const Formats& formats) {
    std::vector<const SummaryColumn*> columns = workbookColumns();
    std::vector<std::string> header;
    for (const SummaryColumn* c : columns) header.push_back(c->label);
    writeHeader(sheet, header, formats);
    setWidth(sheet, 0, 0, 24);  // the report's and the zone's names
    setWidth(sheet, 2, 2, 24);
    worksheet_freeze_panes(sheet, 1, 3);
    // Printed, each page repeats the header and the names.
    worksheet_set_landscape(sheet);
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_repeat_columns(sheet, 0, 2);
}

// A cell of the summary as the workbook holds it: numbers as numbers (heating
// figures as their magnitude), names as text, dates as date-times, each in
// its column's format.
void writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const SummaryColumn& column, const Cell& shown,
               const Formats& formats) {
    Cell cell = shownCell(column, shown);
    switch (cell.kind) {
        case CellKind::empty:
        case CellKind::hour: break;
        case CellKind::report:
        case CellKind::zone: writeName(sheet, row, col, cell.text); break;
        case CellKind::text: writeText(sheet, row, col, cell.text, column.identifies ? formats.block : nullptr); break;
        case CellKind::integer:
        case CellKind::real:
            writeValue(sheet, row, col, cell.number,
                       column.identifies ? formats.block : formatOf(column.format, formats));
            break;
        case CellKind::date: worksheet_write_number(sheet, row, col, spreadsheetDate(cell.hour), formats.date); break;
    }
}

// Filters on the header of each of a table's sheets, over the rows it holds.
void filterTable(const RowTable& table, lxw_col_t lastColumn) {
    for (std::size_t s = 0; s < table.sheets.size(); ++s) {
        std::size_t rows = std::min(table.rowsPerSheet, table.next - std::min(table.next, s * table.rowsPerSheet));
        worksheet_autofilter(table.sheets[s], 0, 0, static_cast<lxw_row_t>(rows), lastColumn);
    }
}

void writeSummary(RowTable& table, const std::vector<WorkbookReport>& reports, const Formats& formats) {
    std::vector<const SummaryColumn*> columns = workbookColumns();
    for (const WorkbookReport& report : reports) {
        for (const SummaryRow& r : report.rows) {
            lxw_row_t row;
            lxw_worksheet* sheet = nextRow(table, row);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                writeCell(sheet, row, static_cast<lxw_col_t>(c), *columns[c], columns[c]->cell(r), formats);
            }
        }
    }
    filterTable(table, static_cast<lxw_col_t>(columns.size() - 1));
}

void startMonthlySheet(lxw_worksheet* sheet, const Formats& formats) {
    std::vector<std::string> header = {"Informe", "Bloque", "Zona", "Energ\u00eda [kWh]"};
    for (int m = 0; m < kMonthsPerYear; ++m) header.push_back(monthName(m));
    header.push_back("A\u00f1o");
    writeHeader(sheet, header, formats, 9);
    setWidth(sheet, 0, 0, 24);
    setWidth(sheet, 2, 2, 24);
    setWidth(sheet, 3, 3, 38);  // "Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas"
    worksheet_freeze_panes(sheet, 1, kMonthColumn);
}

// Per section, rows of refrigeration (Qs > 0), heating (the magnitude of
// Qs < 0) and latent energy, and for a building its simultaneous heating and
// cooling, by month and for the year. Returns the row (counted over the
// table) of each report's building's first row, for the charts.
std::vector<std::size_t> writeMonthly(RowTable& table, const std::vector<WorkbookReport>& reports,
                                      const Formats& formats) {
    std::vector<std::size_t> buildingRows;
    for (const WorkbookReport& report : reports) {
        for (const SummaryRow& r : report.rows) {
            if (isBuilding(r)) buildingRows.push_back(table.next);
            const SectionFigures& f = r.figures;
            struct Part {
                const char* what;
                const double* months;
                bool heating;  // shown as its magnitude
            } parts[4] = {{"Refrigeraci\u00f3n (Qs > 0)", f.monthQsPosWh, false},
                          {"Calefacci\u00f3n (Qs < 0)", f.monthQsNegWh, true},
                          {"Latente (QL)", f.monthQLWh, false},
                          {"Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas", f.monthSimultaneousWh, false}};
            for (const Part& part : parts) {
                if (&part == &parts[3] && !isBuilding(r)) break;
                lxw_row_t row;
                lxw_worksheet* sheet = nextRow(table, row);
                writeRowLabel(sheet, row, report.name, r, formats);
                writeText(sheet, row, 3, part.what);
                double year = 0;
                for (int m = 0; m < kMonthsPerYear; ++m) {
                    double kWh = part.heating ? std::fabs(part.months[m] / 1000) : part.months[m] / 1000;
                    writeValue(sheet, row, static_cast<lxw_col_t>(kMonthColumn + m), kWh, formats.kilowattHours);
                    year += kWh;
                }
                writeValue(sheet, row, kMonthColumn + kMonthsPerYear, year, formats.kilowattHours);
            }
        }
    }
    filterTable(table, kMonthColumn + kMonthsPerYear);
    return buildingRows;
}

// Each report's building Qs, largest first, against the hours: a column
// per report, as many beside the hours as a sheet holds, then on the next.
void writeDuration(const std::vector<lxw_worksheet*>& sheets, const std::vector<WorkbookReport>& reports,
                   const WorkbookLimits& limits, const Formats& formats) {
    const std::size_t perSheet = limits.columnsPerSheet - 1;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        std::size_t first = s * perSheet;
        std::size_t count = std::min(perSheet, reports.size() - std::min(reports.size(), first));
        std::vector<std::string> header = {"Horas (ordenadas por su carga)"};
        std::vector<std::vector<double>> sorted;
        for (std::size_t r = first; r < first + count; ++r) {
            header.push_back("Qs del edificio " + displayFileName(reports[r].name) + " [W]");
            sorted.push_back(sortedDescending(reports[r].building.qs));
        }
        writeHeader(sheets[s], header, formats, 12);
        worksheet_freeze_panes(sheets[s], 1, 1);
        for (int h = 0; h < kHoursPerYear; ++h) {
            auto row = static_cast<lxw_row_t>(h + 1);
            worksheet_write_number(sheets[s], row, 0, h + 1, nullptr);
            for (std::size_t c = 0; c < sorted.size(); ++c) {
                if (static_cast<std::size_t>(h) < sorted[c].size()) {
                    writeValue(sheets[s], row, static_cast<lxw_col_t>(c + 1), sorted[c][static_cast<std::size_t>(h)],
                               formats.watts);
                }
            }
        }
    }
}

// Per report, its building's monthly energy (bars) and load duration curve,
// each drawn from the sheet and row or column that hold it.
void writeCharts(lxw_workbook* book, const std::vector<lxw_worksheet*>& sheets,
                 const std::vector<WorkbookReport>& reports, const std::vector<std::size_t>& buildingRows,
                 const SheetPlan& plan, const WorkbookLimits& limits) {
    const std::size_t chartsPerSheet = std::max<std::size_t>(1, limits.rowsPerSheet / kChartRows);
    const std::size_t monthlyFirst = plan.summary + plan.comparison;
    const std::size_t durationFirst = monthlyFirst + plan.monthly + plan.charts;
    const std::size_t columnsPerSheet = limits.columnsPerSheet - 1;
    for (std::size_t r = 0; r < reports.size(); ++r) {
        lxw_worksheet* sheet = sheets[std::min(r / chartsPerSheet, sheets.size() - 1)];
        auto top = static_cast<lxw_row_t>(r % chartsPerSheet * kChartRows);
        std::string name = displayFileName(reports[r].name);
        lxw_chart* bars = workbook_add_chart(book, LXW_CHART_COLUMN);
        std::string monthlyTitle = cellText("Energ\u00eda mensual del edificio: " + name);
        chart_title_set_name(bars, monthlyTitle.c_str());
        const char* parts[3] = {"Refrigeraci\u00f3n", "Calefacci\u00f3n", "Latente"};
        for (int part = 0; part < 3; ++part) {
            CellPlace place = placeOfRow(plan.names, monthlyFirst, buildingRows[r] + static_cast<std::size_t>(part),
                                         limits.rowsPerSheet - 1);
            lxw_chart_series* series = chart_add_series(bars, nullptr, nullptr);
            chart_series_set_categories(series, place.sheet.c_str(), 0, kMonthColumn, 0,
                                        kMonthColumn + kMonthsPerYear - 1);
            chart_series_set_values(series, place.sheet.c_str(), place.row, kMonthColumn, place.row,
                                    kMonthColumn + kMonthsPerYear - 1);
            chart_series_set_name(series, parts[part]);
        }
        chart_axis_set_name(bars->y_axis, "kWh");
        chart_axis_set_label_position(bars->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);  // below the bars
        worksheet_insert_chart(sheet, top, 0, bars);

        const std::string& durationSheet = plan.names[durationFirst + r / columnsPerSheet];
        auto column = static_cast<lxw_col_t>(1 + r % columnsPerSheet);
        lxw_chart* curve = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT);
        std::string curveTitle = cellText("Curva de duraci\u00f3n de Qs del edificio: " + name);
        chart_title_set_name(curve, curveTitle.c_str());
        lxw_chart_series* series = chart_add_series(curve, nullptr, nullptr);
        // The rows that hold the curve's values: its hours that are numbers (at least one row, empty then).
        const std::vector<double>& qs = reports[r].building.qs;
        auto held = static_cast<lxw_row_t>(
            std::max<std::ptrdiff_t>(1, std::count_if(qs.begin(), qs.end(), [](double v) { return !std::isnan(v); })));
        chart_series_set_categories(series, durationSheet.c_str(), 1, 0, held, 0);
        chart_series_set_values(series, durationSheet.c_str(), 1, column, held, column);
        chart_series_set_name(series, "Qs [W]");
        chart_legend_set_position(curve, LXW_CHART_LEGEND_NONE);
        chart_axis_set_name(curve->x_axis, "Horas del a\u00f1o, ordenadas por su carga");
        chart_axis_set_name(curve->y_axis, "Qs [W]");
        chart_axis_set_min(curve->x_axis, 0);
        chart_axis_set_max(curve->x_axis, kHoursPerYear);
        chart_axis_set_major_unit(curve->x_axis, 1000);
        chart_axis_set_label_position(curve->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
        worksheet_insert_chart(sheet, top, 9, curve);
    }
}

void startPeakDaysSheet(lxw_worksheet* sheet, const Formats& formats) {
    writeHeader(sheet,
                {"Informe", "Bloque", "Zona", "Punta", "Fecha", "Qs [W]", "QL [W]", "Treal [\u00b0C]", "Tmax [\u00b0C]",
                 "Tmin [\u00b0C]"},
                formats);
    setWidth(sheet, 0, 0, 24);
    setWidth(sheet, 2, 2, 24);
    setWidth(sheet, 3, 4, 16);
    worksheet_freeze_panes(sheet, 1, 5);
}

// The 24 hours of the days of each section's QsREF and QsCAL peaks.
void writePeakDays(RowTable& table, const std::vector<WorkbookReport>& reports, const Formats& formats) {
    for (const WorkbookReport& report : reports) {
        for (std::size_t i = 0; i < report.rows.size() && 2 * i + 1 < report.peakDays.size(); ++i) {
            const SummaryRow& r = report.rows[i];
            for (int peak = 0; peak < 2; ++peak) {
                const PeakDay& day = report.peakDays[2 * i + static_cast<std::size_t>(peak)];
                if (day.firstHour < 0) continue;
                for (int h = 0; h < kHoursPerDay; ++h) {
                    lxw_row_t row;
                    lxw_worksheet* sheet = nextRow(table, row);
                    writeRowLabel(sheet, row, report.name, r, formats);
                    writeText(sheet, row, 3, peak == 0 ? "refrigeraci\u00f3n" : "calefacci\u00f3n");
                    worksheet_write_number(sheet, row, 4, spreadsheetDate(day.firstHour + h), formats.date);
                    writeValue(sheet, row, 5, day.qs[h], formats.watts);
                    writeValue(sheet, row, 6, day.ql[h], formats.watts);
                    if (isBuilding(r)) continue;  // the totals hold no temperature
                    writeValue(sheet, row, 7, day.treal[h], formats.kelvins);
                    writeValue(sheet, row, 8, day.tmax[h], formats.kelvins);
                    writeValue(sheet, row, 9, day.tmin[h], formats.kelvins);
                }
            }
        }
    }
}

void startComparisonSheet(lxw_worksheet* sheet, const Formats& formats) {
    std::vector<std::string> header = {"Informe base", "Informe variante", "Zona", "Bloque base", "Bloque variante"};
    for (const SummaryColumn* c : comparedColumns()) {
        std::string label = c->label;
        for (const char* what : {" base", " variante", " diferencia", " diferencia [%]"})
            header.push_back(label + what);
    }
    writeHeader(sheet, header, formats);
    setWidth(sheet, 0, 2, 24);
    worksheet_freeze_panes(sheet, 1, 3);
}

// The table of differences of the variants with the base: names as text,
// figures as numbers as the CSV writes them, heating as its magnitude (a
// negative difference is less heating).
void writeComparison(RowTable& table, const std::vector<DifferenceRow>& differences, const Formats& formats) {
    std::vector<const SummaryColumn*> columns = comparedColumns();
    for (const DifferenceRow& d : differences) {
        lxw_row_t row;
        lxw_worksheet* sheet = nextRow(table, row);
        writeName(sheet, row, 0, d.baseReport);
        writeName(sheet, row, 1, d.variantReport);
        if (d.building) {
            writeText(sheet, row, 2, "EDIFICIO");
            writeText(sheet, row, 3, "TOTAL", formats.block);
            writeText(sheet, row, 4, "TOTAL", formats.block);
        } else {
            writeName(sheet, row, 2, d.zone);
            worksheet_write_number(sheet, row, 3, d.baseBlock, formats.block);
            worksheet_write_number(sheet, row, 4, d.variantBlock, formats.block);
        }
        lxw_col_t col = 5;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (d.figures[i].none) {
                col += 4;
                continue;
            }
            double base = shownValue(*columns[i], d.figures[i].base);
            double variant = shownValue(*columns[i], d.figures[i].variant);
            double percent = percentOfBase(base, variant);
            lxw_format* format = formatOf(columns[i]->format, formats);
            for (double value : {base, variant, variant - base}) {
                if (!std::isnan(value)) writeValue(sheet, row, col, general6Value(value), format);  // none: empty
                ++col;
            }
            if (!std::isnan(percent)) writeValue(sheet, row, col, general6Value(percent), formats.kilowattHours);
            ++col;
        }
    }
    filterTable(table, static_cast<lxw_col_t>(4 + 4 * columns.size()));
}

// Reads the hours [first, first + count) of zone block `block` into `values`.
bool readHours(HoursFile& hours, long long block, int first, int count, double* values) {
    long long offset = (block * kHoursPerYear + first) * static_cast<long long>(sizeof(double));
    std::FILE* file = hours.scratch.file;
    auto wanted = static_cast<std::size_t>(count);
    return seekTo(file, offset) && std::fread(values, sizeof(double), wanted, file) == wanted;
}

// The header of a zone block's column: its name and unit, and where the
// name stands more than once in the report (`blocksOfName`), its block, to
// tell them apart.
std::string zoneHeader(const SummaryRow& row, std::size_t blocksOfName) {
    std::string name = displayFileName(row.zone);
    return blocksOfName > 1 ? name + " (bloque " + std::to_string(row.block) + ") [W]" : name + " [W]";
}

// One hourly sheet: the date, zone blocks [first, first + count), and, on a
// report's first sheet, the building's columns.
bool writeHourlySheet(lxw_worksheet* sheet, const WorkbookReport& report, HoursFile& hours, std::size_t first,
                      std::size_t count, bool building, const Formats& formats) {
    std::map<std::string, std::size_t> blocksOfName;
    for (std::size_t b = 0; b + 1 < report.rows.size(); ++b) ++blocksOfName[report.rows[b].zone];
    std::vector<std::string> header = {"Fecha"};
    for (std::size_t b = first; b < first + count; ++b) {
        header.push_back(zoneHeader(report.rows[b], blocksOfName[report.rows[b].zone]));
    }
    if (building) {
        for (const char* name :
             {"Qs del edificio [W]", "QL del edificio [W]", "Qs <= 0 del edificio [W]", "Qs > 0 del edificio [W]"}) {
            header.push_back(name);
        }
    }
    writeHeader(sheet, header, formats);
    worksheet_freeze_panes(sheet, 1, 1);
    setWidth(sheet, 0, 0, 12);
    const std::vector<double>* columns[4] = {&report.building.qs, &report.building.ql, &report.building.qsNeg,
                                             &report.building.qsPos};
    std::vector<double> band(count * kBandHours);
    for (int h0 = 0; h0 < kHoursPerYear; h0 += kBandHours) {
        int hoursInBand = std::min(kBandHours, kHoursPerYear - h0);
        for (std::size_t c = 0; c < count; ++c) {
            if (!readHours(hours, report.firstBlock + static_cast<long long>(first + c), h0, hoursInBand,
                           &band[c * kBandHours])) {
                return false;
            }
        }
        for (int h = h0; h < h0 + hoursInBand; ++h) {
            auto row = static_cast<lxw_row_t>(h + 1);
            worksheet_write_number(sheet, row, 0, spreadsheetDate(h), formats.date);
            for (std::size_t c = 0; c < count; ++c) {
                writeValue(sheet, row, static_cast<lxw_col_t>(c + 1),
                           band[c * kBandHours + static_cast<std::size_t>(h - h0)], formats.watts);
            }
            if (!building) continue;
            for (int b = 0; b < 4; ++b) {
                writeValue(sheet, row, static_cast<lxw_col_t>(count + 1 + static_cast<std::size_t>(b)),
                           (*columns[b])[static_cast<std::size_t>(h)], formats.watts);
            }
        }
    }
    return true;
}

// Every report's hourly sheets, in the plan's order; false when the hours
// cannot be read back.
bool writeHourly(std::vector<lxw_worksheet*>::const_iterator sheets, const std::vector<WorkbookReport>& reports,
                 const SheetPlan& plan, HoursFile& hours, const WorkbookLimits& limits, const Formats& formats) {
    for (std::size_t r = 0; r < reports.size(); ++r) {
        std::size_t blocks = reports[r].rows.size() - 1;
        for (std::size_t s = 0; s < plan.hourly[r]; ++s) {
            std::size_t first = s * limits.zoneColumnsPerSheet;
            std::size_t count = std::min(limits.zoneColumnsPerSheet, blocks - std::min(blocks, first));
            if (!writeHourlySheet(*sheets++, reports[r], hours, first, count, s == 0, formats)) return false;
        }
    }
    return true;
}

// The workbook's formats.
Formats makeFormats(lxw_workbook* book) {
    Formats f{};
    lxw_format** all[] = {&f.header, &f.date, &f.watts, &f.kilowattHours, &f.hours, &f.kelvins, &f.percent, &f.block};
    for (lxw_format** format : all) *format = workbook_add_format(book);
    format_set_align(f.block, LXW_ALIGN_CENTER);
    format_set_bg_color(f.header, 0xEEEEEE);
    format_set_bottom(f.header, LXW_BORDER_THIN);
    format_set_bold(f.header);
    format_set_text_wrap(f.header);
    format_set_align(f.header, LXW_ALIGN_VERTICAL_TOP);
    format_set_num_format(f.date, "dd/mm hh:mm");
    format_set_num_format(f.watts, "0.0");
    format_set_num_format(f.kilowattHours, "0.0");
    format_set_num_format(f.hours, "0");
    format_set_num_format(f.kelvins, "0.00");
    format_set_num_format(f.percent, "0.0%");
    return f;
}

// What went wrong in the library, in the words of the program's messages.
std::string libraryFailure(lxw_error error, int systemError) {
    switch (error) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED: return "sin memoria";
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
            return systemError != 0 ? errorReason(systemError) : "error de entrada/salida";
        default: return "error de la biblioteca del libro " + std::to_string(static_cast<int>(error));
    }
}

// ---- Reading the workbook back ----

// minizip's access to the workbook, through a file already open: the
// "name" it opens is that FILE, so the system's own calls (wide on Windows)
// stay where the file was opened.
voidpf ZCALLBACK openGiven(voidpf, const void* file, int) { return const_cast<void*>(file); }
uLong ZCALLBACK readGiven(voidpf, voidpf file, void* buffer, uLong size) {
    return static_cast<uLong>(std::fread(buffer, 1, size, static_cast<std::FILE*>(file)));
}
uLong ZCALLBACK writeNothing(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK tellGiven(voidpf, voidpf file) {
    return static_cast<ZPOS64_T>(positionOf(static_cast<std::FILE*>(file)));
}
long ZCALLBACK seekGiven(voidpf, voidpf file, ZPOS64_T offset, int origin) {
    int whence = origin == ZLIB_FILEFUNC_SEEK_CUR ? SEEK_CUR : origin == ZLIB_FILEFUNC_SEEK_END ? SEEK_END : SEEK_SET;
    return seekTo(static_cast<std::FILE*>(file), static_cast<long long>(offset), whence) ? 0 : -1;
}
int ZCALLBACK closeNothing(voidpf, voidpf) { return 0; }  // its owner closes it
int ZCALLBACK errorOfGiven(voidpf, voidpf file) { return std::ferror(static_cast<std::FILE*>(file)); }

// Counts the bytes of a sheet part's rows, between its "<sheetData>" and
// "</sheetData>", as the part streams past in pieces.
struct RowsCounter {
    std::string window;    // the last bytes seen, for a tag split between pieces
    long long seen = 0;    // bytes of the part before `window`'s end
    long long start = -1;  // where the rows start, once found
    long long end = -1;    // where they end, once found
    bool none = false;     // "<sheetData/>": a sheet without rows

    void take(const char* bytes, std::size_t size) {
        window.append(bytes, size);
        seen += static_cast<long long>(size);
        long long windowStart = seen - static_cast<long long>(window.size());
        if (start < 0 && !none) {
            std::size_t at = window.find("<sheetData");
            std::size_t close = at == std::string::npos ? at : window.find('>', at);
            if (close != std::string::npos) {
                none = window[close - 1] == '/';
                start = windowStart + static_cast<long long>(close + 1);
            }
        }
        if (start >= 0 && end < 0) {
            std::size_t at = window.find("</sheetData>");
            if (at != std::string::npos) end = windowStart + static_cast<long long>(at);
        }
        window.erase(0, window.size() - std::min<std::size_t>(window.size(), 16));
    }

    // The bytes of the rows; -1 when the part has no whole rows element.
    long long rows() const { return none ? 0 : start >= 0 && end >= start ? end - start : -1; }
};

// True when the part's text, of which `head` and `tail` are the first and
// last bytes, is a whole XML document: it ends with its root's end tag.
bool closedXml(const std::string& head, std::string tail) {
    std::size_t root = head.find('<', head.rfind("?>") == std::string::npos ? 0 : head.rfind("?>"));
    if (root == std::string::npos) return false;
    std::size_t end = head.find_first_of(" \t\r\n/>", root + 1);
    std::string closing = "</" + head.substr(root + 1, end - root - 1) + ">";
    while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back()))) tail.pop_back();
    return tail.size() >= closing.size() && tail.compare(tail.size() - closing.size(), closing.size(), closing) == 0;
}

// The sheet (0 ..) whose part a zip entry is, "xl/worksheets/sheetN.xml";
// -1 for any other part.
long long sheetOfPart(const std::string& part) {
    const std::string prefix = "xl/worksheets/sheet", suffix = ".xml";
    if (part.size() <= prefix.size() + suffix.size() || part.compare(0, prefix.size(), prefix) != 0 ||
        part.compare(part.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return -1;
    }
    std::string number = part.substr(prefix.size(), part.size() - prefix.size() - suffix.size());
    if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoll(number) - 1;
}

// Reads the zip's current part whole; true when it reads back with its
// checksum and, for XML, is closed, and a sheet holds its rows' bytes.
bool partIsWhole(unzFile zip, const WrittenSheets& written) {
    char name[512];
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    std::string part = name;
    long long sheet = sheetOfPart(part);
    RowsCounter rows;
    std::string head, tail;
    std::vector<char> buffer(1 << 16);
    int read;
    while ((read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
        if (head.size() < 512) head.append(buffer.data(), std::min<std::size_t>(512 - head.size(), read));
        tail.append(buffer.data(), static_cast<std::size_t>(read));
        if (tail.size() > 64) tail.erase(0, tail.size() - 64);
        if (sheet >= 0) rows.take(buffer.data(), static_cast<std::size_t>(read));
    }
    bool whole = read == 0 && unzCloseCurrentFile(zip) == UNZ_OK;  // the checksum is checked on closing
    bool xml = part.size() > 4 &&
               (part.compare(part.size() - 4, 4, ".xml") == 0 || part.compare(part.size() - 5, 5, ".rels") == 0);
    if (sheet >= 0) {
        auto at = static_cast<std::size_t>(sheet);
        whole = whole && at < written.rowBytes.size() && rows.rows() == written.rowBytes[at];
    }
    return whole && (!xml || closedXml(head, tail));
}

// Writes each sheet's last row to the file of its rows and takes the size of
// that file, which the sheet's part must hold whole; the first failure to
// write (the library goes on past one), 0 when none.
//
// Why this reaches into the library: in constant memory it prints each
// finished row into a scratch file of the sheet's (the member
// `optimize_tmpfile`, which its header declares but does not document),
// checks none of those writes, and at the close copies that file into the
// sheet's part ignoring a failed flush or read. A disk that fills while the
// hours are written would then give a workbook that opens with rows
// missing. No documented call tells either, so this checks that file
// itself, after writing its last row (lxw_worksheet_write_single_row,
// declared in the same header), and the read-back (workbookIsWhole) checks
// that each part holds all its bytes. Both names are those of libxlsxwriter
// 1.1.4, Debian 12's and the one .ci/mingw_deps.sh builds; a version without
// them does not build here.
int flushRows(const std::vector<lxw_worksheet*>& sheets, WrittenSheets& written) {
    written.rowBytes.clear();
    for (lxw_worksheet* sheet : sheets) {
        std::FILE* rows = sheet->optimize_tmpfile;
        if (!rows) return EIO;  // every sheet keeps its rows in a file
        errno = 0;
        lxw_worksheet_write_single_row(sheet);  // the row it holds; it then holds none
        long long size = std::fflush(rows) == 0 && !std::ferror(rows) ? positionOf(rows) : -1;
        if (size < 0) return errno != 0 ? errno : EIO;
        written.rowBytes.push_back(size);
    }
    return 0;
}

}  // namespace

bool workbookIsWhole(std::FILE* file, const WrittenSheets& written) {
    zlib_filefunc64_def access = {openGiven, readGiven,    writeNothing, tellGiven,
                                  seekGiven, closeNothing, errorOfGiven, nullptr};
    unzFile zip = unzOpen2_64(file, &access);
    if (!zip) return false;
    int status = unzGoToFirstFile(zip);
    bool whole = status == UNZ_OK;
    while (whole && status == UNZ_OK) {
        whole = partIsWhole(zip, written);
        status = unzGoToNextFile(zip);
    }
    unzClose(zip);
    return whole && status == UNZ_END_OF_LIST_OF_FILE;
}

bool appendHours(HoursFile& hours, const std::vector<double>& qs) {
    if (!writeOutput(hours.scratch, qs.data(), qs.size() * sizeof(double))) return false;
    ++hours.blocks;
    return true;
}

std::vector<std::string> workbookSheetNames(const std::vector<WorkbookReport>& reports, const WorkbookLimits& limits,
                                            std::size_t differences) {
    return planSheets(reports, differences, limits).names;
}

bool writeWorkbook(const std::string& fileName, const std::string& scratchFolder,
                   const std::vector<WorkbookReport>& reports, const std::vector<DifferenceRow>& differences,
                   HoursFile& hours, const WorkbookLimits& limits, WrittenSheets& written, std::string& error) {
    // In nearly constant memory the library keeps each sheet's rows in a
    // file of its own, open until the end: a workbook of more sheets than
    // the process may open files is refused before anything is made.
    SheetPlan plan = planSheets(reports, differences.size(), limits);
    const std::size_t needed = plan.names.size() + kOtherOpenFiles;
    std::size_t allowed = allowOpenFiles(needed);
    if (needed > allowed) {
        error = std::to_string(plan.names.size()) + " hojas: hacen falta " + std::to_string(needed) +
                " ficheros abiertos a la vez y el sistema solo deja abrir " + std::to_string(allowed);
        return false;
    }
    // The library tells its failures on standard error, in English: its
    // result is told here instead, once.
    StandardErrorSilenced silenced;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    std::string folder = scratchFolder;
    options.tmpdir = folder.empty() ? nullptr : &folder[0];
    errno = 0;
    lxw_workbook* book = workbook_new_opt(fileName.c_str(), &options);
    if (!book) {
        error = libraryFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, 0);
        return false;
    }
    Formats formats = makeFormats(book);

    std::vector<lxw_worksheet*> sheets;
    for (const std::string& name : plan.names) {
        errno = 0;
        sheets.push_back(workbook_add_worksheet(book, name.c_str()));
        if (!sheets.back()) {
            // Its rows' file could not be made (the plan's names are all valid).
            int why = errno != 0 ? errno : EIO;
            workbook_close(book);
            error = libraryFailure(LXW_ERROR_CREATING_TMPFILE, why);
            return false;
        }
    }
    bool hoursRead = true;
    {
        auto next = sheets.cbegin();
        auto start = [&formats](void (*how)(lxw_worksheet*, const Formats&)) {
            return [how, &formats](lxw_worksheet* sheet) { how(sheet, formats); };
        };
        RowTable summary = rowTable(next, plan.summary, limits, start(startSummarySheet));
        writeSummary(summary, reports, formats);
        RowTable comparison = rowTable(next, plan.comparison, limits, start(startComparisonSheet));
        writeComparison(comparison, differences, formats);
        RowTable monthly = rowTable(next, plan.monthly, limits, start(startMonthlySheet));
        std::vector<std::size_t> buildingRows = writeMonthly(monthly, reports, formats);
        std::vector<lxw_worksheet*> charts(next, next + static_cast<std::ptrdiff_t>(plan.charts));
        next += static_cast<std::ptrdiff_t>(plan.charts);
        writeCharts(book, charts, reports, buildingRows, plan, limits);
        std::vector<lxw_worksheet*> duration(next, next + static_cast<std::ptrdiff_t>(plan.duration));
        next += static_cast<std::ptrdiff_t>(plan.duration);
        writeDuration(duration, reports, limits, formats);
        RowTable peakDays = rowTable(next, plan.peakDays, limits, start(startPeakDaysSheet));
        writePeakDays(peakDays, reports, formats);
        hoursRead = writeHourly(next, reports, plan, hours, limits, formats);
    }
    int rowsLost = flushRows(sheets, written);
    errno = 0;
    lxw_error closed = workbook_close(book);  // writes the file, whatever came before
    if (!hoursRead) {
        error = "no se pueden leer las horas guardadas";
        return false;
    }
    if (rowsLost != 0) {
        error = errorReason(rowsLost);
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        error = libraryFailure(closed, errno);
        return false;
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
