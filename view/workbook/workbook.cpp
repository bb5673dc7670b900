#include "view/workbook/workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
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

constexpr int kBandHours = 512;  // hours of every column read from the hours file at a time
constexpr int kMonthColumn = 4;  // the Mensual sheet's first month column (E)
constexpr int kChartRows = 22;   // rows of the Graficos sheet given to each report

struct Formats {
    lxw_format* header;
    lxw_format* date;
};

// A value as the report writes it: a number, or its text ("nan", "-inf")
// where a spreadsheet has no such number.
void writeValue(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, double value) {
    if (std::isfinite(value)) {
        worksheet_write_number(sheet, row, col, value, nullptr);
        return;
    }
    char text[kMaxNumberChars + 1];
    *formatFloat32(static_cast<float32>(value), text) = '\0';
    worksheet_write_string(sheet, row, col, text, nullptr);
}

// A name of report bytes as the page shows it; always text, never a formula.
void writeName(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& bytes) {
    worksheet_write_string(sheet, row, col, displayText(bytes).c_str(), nullptr);
}

// A row's first three cells: the report, the block (or TOTAL) and the zone.
void writeRowLabel(lxw_worksheet* sheet, lxw_row_t row, const std::string& report, const SummaryRow& r) {
    worksheet_write_string(sheet, row, 0, report.c_str(), nullptr);
    if (r.block == 0) {
        worksheet_write_string(sheet, row, 1, "TOTAL", nullptr);
    } else {
        worksheet_write_number(sheet, row, 1, r.block, nullptr);
        writeName(sheet, row, 2, r.zone);
    }
}

void writeHeader(lxw_worksheet* sheet, const std::vector<std::string>& names, const Formats& formats) {
    for (std::size_t c = 0; c < names.size(); ++c) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), names[c].c_str(), formats.header);
    }
}

// A cell of the summary as the workbook holds it: numbers as numbers, names
// as text, dates as date-times.
void writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const Cell& cell, const Formats& formats) {
    switch (cell.kind) {
        case CellKind::empty:
        case CellKind::hour: break;
        case CellKind::report:
        case CellKind::text: worksheet_write_string(sheet, row, col, cell.text.c_str(), nullptr); break;
        case CellKind::zone: writeName(sheet, row, col, cell.text); break;
        case CellKind::integer:
        case CellKind::real: writeValue(sheet, row, col, cell.number); break;
        case CellKind::date: worksheet_write_number(sheet, row, col, spreadsheetDate(cell.hour), formats.date); break;
    }
}

void writeSummarySheet(lxw_worksheet* sheet, const std::vector<WorkbookReport>& reports, const Formats& formats) {
    std::vector<const SummaryColumn*> columns = workbookColumns();
    std::vector<std::string> header;
    for (const SummaryColumn* c : columns) header.push_back(c->label);
    writeHeader(sheet, header, formats);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_set_column(sheet, 0, 2, 18, nullptr);
    worksheet_set_column(sheet, 3, static_cast<lxw_col_t>(columns.size() - 1), 14, nullptr);
    lxw_row_t row = 1;
    for (const WorkbookReport& report : reports) {
        for (const SummaryRow& r : report.rows) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                writeCell(sheet, row, static_cast<lxw_col_t>(c), columns[c]->cell(r), formats);
            }
            ++row;
        }
    }
}

// Three rows per section (Qs > 0, Qs < 0, QL), twelve months and the year.
// Returns the row of each report's totals (its Qs > 0 row), for the charts.
std::vector<lxw_row_t> writeMonthlySheet(lxw_worksheet* sheet, const std::vector<WorkbookReport>& reports,
                                         const Formats& formats) {
    std::vector<std::string> header = {"informe", "bloque", "zona", "magnitud"};
    for (int m = 0; m < kMonthsPerYear; ++m) header.push_back(monthName(m));
    header.push_back("anual");
    writeHeader(sheet, header, formats);
    worksheet_freeze_panes(sheet, 1, kMonthColumn);
    worksheet_set_column(sheet, 0, 3, 16, nullptr);
    std::vector<lxw_row_t> totalsRows;
    lxw_row_t row = 1;
    for (const WorkbookReport& report : reports) {
        for (const SummaryRow& r : report.rows) {
            if (r.block == 0) totalsRows.push_back(row);
            const double* months[3] = {r.figures.monthQsPosWh, r.figures.monthQsNegWh, r.figures.monthQLWh};
            const char* what[3] = {"Qs > 0 [kWh]", "Qs < 0 [kWh]", "QL [kWh]"};
            for (int part = 0; part < 3; ++part, ++row) {
                writeRowLabel(sheet, row, report.name, r);
                worksheet_write_string(sheet, row, 3, what[part], nullptr);
                double year = 0;
                for (int m = 0; m < kMonthsPerYear; ++m) {
                    writeValue(sheet, row, static_cast<lxw_col_t>(kMonthColumn + m), months[part][m] / 1000);
                    year += months[part][m];
                }
                writeValue(sheet, row, kMonthColumn + kMonthsPerYear, year / 1000);
            }
        }
    }
    return totalsRows;
}

// Each report's building Qs, largest first, against the hours.
void writeDurationSheet(lxw_worksheet* sheet, const std::vector<WorkbookReport>& reports, const Formats& formats) {
    std::vector<std::string> header = {"horas"};
    std::vector<std::vector<double>> sorted;
    for (const WorkbookReport& report : reports) {
        header.push_back("Qs edificio " + report.name + " [W]");
        sorted.push_back(sortedDescending(report.building.qs));
    }
    writeHeader(sheet, header, formats);
    worksheet_freeze_panes(sheet, 1, 1);
    for (int h = 0; h < kHoursPerYear; ++h) {
        worksheet_write_number(sheet, static_cast<lxw_row_t>(h + 1), 0, h + 1, nullptr);
        for (std::size_t r = 0; r < sorted.size(); ++r) {
            if (static_cast<std::size_t>(h) < sorted[r].size()) {
                writeValue(sheet, static_cast<lxw_row_t>(h + 1), static_cast<lxw_col_t>(r + 1),
                           sorted[r][static_cast<std::size_t>(h)]);
            }
        }
    }
}

// Per report, its building's monthly energy (bars) and load duration curve.
void writeChartSheet(lxw_workbook* book, lxw_worksheet* sheet, const std::vector<WorkbookReport>& reports,
                     const std::vector<lxw_row_t>& monthlyTotals) {
    for (std::size_t r = 0; r < reports.size(); ++r) {
        auto top = static_cast<lxw_row_t>(r * kChartRows);
        lxw_chart* bars = workbook_add_chart(book, LXW_CHART_COLUMN);
        std::string monthlyTitle = "Energia mensual del edificio: " + reports[r].name;
        chart_title_set_name(bars, monthlyTitle.c_str());
        const char* parts[3] = {"Qs > 0", "Qs < 0", "QL"};
        for (int part = 0; part < 3; ++part) {
            lxw_chart_series* series = chart_add_series(bars, nullptr, nullptr);
            chart_series_set_categories(series, "Mensual", 0, kMonthColumn, 0, kMonthColumn + kMonthsPerYear - 1);
            lxw_row_t row = monthlyTotals[r] + static_cast<lxw_row_t>(part);
            chart_series_set_values(series, "Mensual", row, kMonthColumn, row, kMonthColumn + kMonthsPerYear - 1);
            chart_series_set_name(series, parts[part]);
        }
        chart_axis_set_name(bars->y_axis, "kWh");
        worksheet_insert_chart(sheet, top, 0, bars);

        lxw_chart* curve = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT);
        std::string curveTitle = "Curva de duracion de Qs del edificio: " + reports[r].name;
        chart_title_set_name(curve, curveTitle.c_str());
        lxw_chart_series* series = chart_add_series(curve, nullptr, nullptr);
        chart_series_set_categories(series, "Duracion", 1, 0, kHoursPerYear, 0);
        chart_series_set_values(series, "Duracion", 1, static_cast<lxw_col_t>(r + 1), kHoursPerYear,
                                static_cast<lxw_col_t>(r + 1));
        chart_series_set_name(series, "Qs [W]");
        chart_legend_set_position(curve, LXW_CHART_LEGEND_NONE);
        chart_axis_set_name(curve->x_axis, "horas");
        chart_axis_set_name(curve->y_axis, "Qs [W]");
        worksheet_insert_chart(sheet, top, 9, curve);
    }
}

// The 24 hours of the days of each section's QsREF and QsCAL peaks.
void writePeakDaysSheet(lxw_worksheet* sheet, const std::vector<WorkbookReport>& reports, const Formats& formats) {
    writeHeader(sheet,
                {"informe", "bloque", "zona", "pico", "fecha", "Qs [W]", "QL [W]", "Treal [C]", "Tmax [C]", "Tmin [C]"},
                formats);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_set_column(sheet, 0, 2, 16, nullptr);
    worksheet_set_column(sheet, 4, 4, 12, nullptr);
    lxw_row_t row = 1;
    for (const WorkbookReport& report : reports) {
        for (std::size_t i = 0; i < report.rows.size() && 2 * i + 1 < report.peakDays.size(); ++i) {
            const SummaryRow& r = report.rows[i];
            for (int peak = 0; peak < 2; ++peak) {
                const PeakDay* day = &report.peakDays[2 * i + static_cast<std::size_t>(peak)];
                if (day->firstHour < 0) continue;
                for (int h = 0; h < kHoursPerDay; ++h, ++row) {
                    writeRowLabel(sheet, row, report.name, r);
                    worksheet_write_string(sheet, row, 3, peak == 0 ? "QsREF" : "QsCAL", nullptr);
                    worksheet_write_number(sheet, row, 4, spreadsheetDate(day->firstHour + h), formats.date);
                    writeValue(sheet, row, 5, day->qs[h]);
                    writeValue(sheet, row, 6, day->ql[h]);
                    if (r.block == 0) continue;  // the totals hold no temperature
                    writeValue(sheet, row, 7, day->treal[h]);
                    writeValue(sheet, row, 8, day->tmax[h]);
                    writeValue(sheet, row, 9, day->tmin[h]);
                }
            }
        }
    }
}

// The table of differences of the variants with the base: names as text,
// figures as numbers, each as the CSV writes it.
void writeComparisonSheet(lxw_worksheet* sheet, const std::vector<DifferenceRow>& differences, const Formats& formats) {
    writeHeader(sheet, differenceHeader(), formats);
    worksheet_freeze_panes(sheet, 1, 3);
    worksheet_set_column(sheet, 0, 2, 16, nullptr);
    lxw_row_t row = 1;
    for (const DifferenceRow& d : differences) {
        worksheet_write_string(sheet, row, 0, d.baseReport.c_str(), nullptr);
        worksheet_write_string(sheet, row, 1, d.variantReport.c_str(), nullptr);
        if (d.building) {
            worksheet_write_string(sheet, row, 2, "EDIFICIO", nullptr);
            worksheet_write_string(sheet, row, 3, "TOTAL", nullptr);
            worksheet_write_string(sheet, row, 4, "TOTAL", nullptr);
        } else {
            writeName(sheet, row, 2, d.zone);
            worksheet_write_number(sheet, row, 3, d.baseBlock, nullptr);
            worksheet_write_number(sheet, row, 4, d.variantBlock, nullptr);
        }
        lxw_col_t col = 5;
        for (const ComparedFigure& f : d.figures) {
            double percent = percentOfBase(f.base, f.variant);
            for (double value : {f.base, f.variant, f.variant - f.base})
                writeValue(sheet, row, col++, general6Value(value));
            if (!std::isnan(percent)) writeValue(sheet, row, col, general6Value(percent));
            ++col;
        }
        ++row;
    }
}

// A sheet name from a report's name: what a sheet's name may not hold
// taken out, short enough for the suffix of a further sheet.
std::string sheetBase(const std::string& reportName) {
    std::string stem = reportName;
    std::size_t slash = stem.find_last_of("/\\");
    if (slash != std::string::npos) stem = stem.substr(slash + 1);
    std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem = stem.substr(0, dot);
    std::string clean;
    for (char c : stem) {
        if (std::string("[]:*?/\\'").find(c) == std::string::npos && static_cast<unsigned char>(c) >= 0x20) clean += c;
    }
    // At most 18 bytes, cut before a UTF-8 character's continuation.
    while (clean.size() > 18) clean.pop_back();
    while (!clean.empty() && (static_cast<unsigned char>(clean.back()) & 0xC0) == 0x80) clean.pop_back();
    if (!clean.empty() && (static_cast<unsigned char>(clean.back()) & 0xC0) == 0xC0) clean.pop_back();
    return "Horas " + clean;
}

std::string lowered(const std::string& name) {
    std::string low = name;
    for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return low;
}

// The number of hourly sheets of a report of `blocks` zone blocks.
std::size_t hourlySheets(std::size_t blocks, const WorkbookLimits& limits) {
    return blocks == 0 ? 1 : (blocks + limits.zoneColumnsPerSheet - 1) / limits.zoneColumnsPerSheet;
}

// Reads the hours [first, first + count) of zone block `block` into `values`.
bool readHours(HoursFile& hours, long long block, int first, int count, double* values) {
    long long offset = (block * kHoursPerYear + first) * static_cast<long long>(sizeof(double));
    std::FILE* file = hours.scratch.file;
    auto wanted = static_cast<std::size_t>(count);
    return seekTo(file, offset) && std::fread(values, sizeof(double), wanted, file) == wanted;
}

// One hourly sheet: the date, zone blocks [first, first + count), and, on a
// report's first sheet, the building's columns.
bool writeHourlySheet(lxw_worksheet* sheet, const WorkbookReport& report, HoursFile& hours, std::size_t first,
                      std::size_t count, bool building, const Formats& formats) {
    std::vector<std::string> header = {"fecha"};
    for (std::size_t b = first; b < first + count; ++b) header.push_back(displayText(report.rows[b].zone));
    if (building) {
        for (const char* name : {"Qs edificio [W]", "QL edificio [W]", "Qs <= 0 edificio [W]", "Qs > 0 edificio [W]"}) {
            header.push_back(name);
        }
    }
    writeHeader(sheet, header, formats);
    worksheet_freeze_panes(sheet, 1, 1);
    worksheet_set_column(sheet, 0, 0, 12, nullptr);
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
            for (std::size_t c = 0; c < count; ++c)
                writeValue(sheet, row, static_cast<lxw_col_t>(c + 1),
                           band[c * kBandHours + static_cast<std::size_t>(h - h0)]);
            if (!building) continue;
            for (int b = 0; b < 4; ++b) {
                writeValue(sheet, row, static_cast<lxw_col_t>(count + 1 + static_cast<std::size_t>(b)),
                           (*columns[b])[static_cast<std::size_t>(h)]);
            }
        }
    }
    return true;
}

}  // namespace

bool appendHours(HoursFile& hours, const std::vector<double>& qs) {
    if (!writeOutput(hours.scratch, qs.data(), qs.size() * sizeof(double))) return false;
    ++hours.blocks;
    return true;
}

std::vector<std::string> workbookSheetNames(const std::vector<WorkbookReport>& reports, const WorkbookLimits& limits,
                                            bool compared) {
    std::vector<std::string> names = {"Resumen", "Mensual", "Graficos", "Duracion", "Dias pico"};
    if (compared) names.insert(names.begin() + 1, "Comparacion");
    std::set<std::string> taken;
    for (const std::string& name : names) taken.insert(lowered(name));
    for (const WorkbookReport& report : reports) {
        std::string base = sheetBase(report.name);
        for (int n = 2; taken.count(lowered(base)); ++n) base = sheetBase(report.name) + " " + std::to_string(n);
        std::size_t sheets = hourlySheets(report.rows.size() - 1, limits);
        for (std::size_t s = 0; s < sheets; ++s) {
            std::string name = s == 0 ? base : base + " (" + std::to_string(s + 1) + ")";
            taken.insert(lowered(name));
            names.push_back(name);
        }
    }
    return names;
}

bool writeWorkbook(const std::string& fileName, const std::string& scratchFolder,
                   const std::vector<WorkbookReport>& reports, const std::vector<DifferenceRow>& differences,
                   HoursFile& hours, const WorkbookLimits& limits, std::string& error) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    std::string folder = scratchFolder;
    options.tmpdir = folder.empty() ? nullptr : &folder[0];
    lxw_workbook* book = workbook_new_opt(fileName.c_str(), &options);
    if (!book) {
        error = "no se puede crear el libro";
        return false;
    }
    Formats formats{workbook_add_format(book), workbook_add_format(book)};
    format_set_bold(formats.header);
    format_set_num_format(formats.date, "dd/mm hh:mm");

    const bool compared = !differences.empty();
    std::vector<std::string> names = workbookSheetNames(reports, limits, compared);
    std::vector<lxw_worksheet*> sheets;
    for (const std::string& name : names) sheets.push_back(workbook_add_worksheet(book, name.c_str()));
    bool written = std::find(sheets.begin(), sheets.end(), nullptr) == sheets.end();
    std::size_t next = 0;
    if (written) {
        writeSummarySheet(sheets[next++], reports, formats);
        if (compared) writeComparisonSheet(sheets[next++], differences, formats);
        std::vector<lxw_row_t> monthlyTotals = writeMonthlySheet(sheets[next++], reports, formats);
        writeChartSheet(book, sheets[next++], reports, monthlyTotals);
        writeDurationSheet(sheets[next++], reports, formats);
        writePeakDaysSheet(sheets[next++], reports, formats);
    }
    for (const WorkbookReport& report : reports) {
        std::size_t blocks = report.rows.size() - 1;
        std::size_t count = hourlySheets(blocks, limits);
        for (std::size_t s = 0; s < count && written; ++s) {
            std::size_t first = s * limits.zoneColumnsPerSheet;
            std::size_t columns = std::min(limits.zoneColumnsPerSheet, blocks - std::min(blocks, first));
            written = writeHourlySheet(sheets[next++], report, hours, first, columns, s == 0, formats);
        }
    }
    lxw_error closed = workbook_close(book);  // writes the file, whatever came before
    if (!written) {
        error = "no se pueden leer las horas guardadas";
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        error = lxw_strerror(closed);
        return false;
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
