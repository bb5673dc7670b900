#include <algorithm>
#include <cmath>

#include "common/calendar.h"
#include "common/number_display.h"
#include "view/figures/statistics.h"
#include "view/workbook/sheets.h"

namespace zoneloads {
namespace view {
namespace {

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

}  // namespace

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

void writeSummary(RowTable& table, const std::vector<ReportFigures>& reports, const Formats& formats) {
    std::vector<const SummaryColumn*> columns = workbookColumns();
    for (const ReportFigures& report : reports) {
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
void writePeakDays(RowTable& table, const std::vector<ReportFigures>& reports, const Formats& formats) {
    for (const ReportFigures& report : reports) {
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

}  // namespace view
}  // namespace zoneloads
