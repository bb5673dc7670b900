#include <algorithm>
#include <map>

#include "common/calendar.h"
#include "common/platform.h"
#include "common/text_encoding.h"
#include "view/workbook/sheets.h"

namespace zoneloads {
namespace view {
namespace {

constexpr int kBandHours = 128;  // hours of every column read from the zone Qs file at a time

// Reads the hours [first, first + count) of zone block `block` into `values`.
bool readQs(ZoneQsFile& zoneQs, long long block, int first, int count, double* values) {
    long long offset = (block * kHoursPerYear + first) * static_cast<long long>(sizeof(double));
    std::FILE* file = zoneQs.scratch.file;
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
bool writeHourlySheet(lxw_worksheet* sheet, const ReportFigures& report, ZoneQsFile& zoneQs, std::size_t first,
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
            if (!readQs(zoneQs, report.firstBlock + static_cast<long long>(first + c), h0, hoursInBand,
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

}  // namespace

// Every report's hourly sheets, in the plan's order; false when the hours
// cannot be read back.
bool writeHourly(std::vector<lxw_worksheet*>::const_iterator sheets, const std::vector<ReportFigures>& reports,
                 const SheetPlan& plan, ZoneQsFile& zoneQs, const WorkbookLimits& limits, const Formats& formats) {
    for (std::size_t r = 0; r < reports.size(); ++r) {
        std::size_t blocks = reports[r].rows.size() - 1;
        for (std::size_t s = 0; s < plan.hourly[r]; ++s) {
            std::size_t first = s * limits.zoneColumnsPerSheet;
            std::size_t count = std::min(limits.zoneColumnsPerSheet, blocks - std::min(blocks, first));
            if (!writeHourlySheet(*sheets++, reports[r], zoneQs, first, count, s == 0, formats)) return false;
        }
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
