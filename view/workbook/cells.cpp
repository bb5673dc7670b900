#include "view/workbook/cells.h"

#include <algorithm>
#include <cmath>

#include "common/number_format.h"
#include "common/text_encoding.h"

namespace zoneloads {
namespace view {
namespace {

constexpr std::size_t kTextCharacters = 32767;  // the longest text of a cell

}  // namespace

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

void writeValue(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, double value, lxw_format* format) {
    if (std::isfinite(value)) {
        worksheet_write_number(sheet, row, col, value, format);
        return;
    }
    char text[kMaxNumberChars + 1];
    *formatFloat32(static_cast<float32>(value), text) = '\0';
    worksheet_write_string(sheet, row, col, text, nullptr);
}

std::string cellText(std::string text) {
    if (text.size() <= kTextCharacters) return text;  // a byte is at most a character
    std::u32string codes = utf32FromUtf8(text);
    if (codes.size() > kTextCharacters) codes.resize(kTextCharacters);
    return utf8FromUtf32(codes);
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& utf8, lxw_format* format) {
    worksheet_write_string(sheet, row, col, cellText(utf8).c_str(), format);
}

void writeName(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& name) {
    writeText(sheet, row, col, displayFileName(name));
}

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

void setWidth(lxw_worksheet* sheet, lxw_col_t first, lxw_col_t last, double width) {
    for (lxw_col_t c = first; c <= last; ++c) worksheet_set_column(sheet, c, c, width, nullptr);
}

void writeHeader(lxw_worksheet* sheet, const std::vector<std::string>& names, const Formats& formats, double least) {
    worksheet_set_row(sheet, 0, 45, nullptr);  // three lines of text
    for (std::size_t c = 0; c < names.size(); ++c) {
        writeText(sheet, 0, static_cast<lxw_col_t>(c), names[c], formats.header);
        double characters = static_cast<double>(utf32FromUtf8(names[c]).size());
        double width = std::max(least, std::min(40.0, characters / 2.5 + 2));
        setWidth(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width);
    }
}

lxw_worksheet* nextRow(RowTable& table, lxw_row_t& row) {
    std::size_t k = table.next++;
    row = static_cast<lxw_row_t>(1 + k % table.rowsPerSheet);
    return table.sheets[std::min(k / table.rowsPerSheet, table.sheets.size() - 1)];
}

void filterTable(const RowTable& table, lxw_col_t lastColumn) {
    for (std::size_t s = 0; s < table.sheets.size(); ++s) {
        std::size_t rows = std::min(table.rowsPerSheet, table.next - std::min(table.next, s * table.rowsPerSheet));
        worksheet_autofilter(table.sheets[s], 0, 0, static_cast<lxw_row_t>(rows), lastColumn);
    }
}

CellPlace placeOfRow(const std::vector<std::string>& names, std::size_t firstSheet, std::size_t k,
                     std::size_t rowsPerSheet) {
    return {names[firstSheet + k / rowsPerSheet], static_cast<lxw_row_t>(1 + k % rowsPerSheet)};
}

}  // namespace view
}  // namespace zoneloads
