#include "view/tables/console_table.h"

#include <algorithm>

#include "common/text_encoding.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

// The characters of UTF-8 text: its bytes but continuation bytes.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// A cell's text in the table: dates as "17 jul 13:00", names safe for where
// the table goes.
std::string tableText(const Cell& cell, bool forTerminal) {
    std::string text = cell.kind == CellKind::date ? hourDate(cell.hour) : csvText(cell);
    // No control byte reaches a terminal; a file name is shown as such (UTF-8
    // where it is), report bytes as Windows-1252.
    if (forTerminal) return cell.kind == CellKind::report ? displayFileName(text) : displayText(text);
    std::replace(text.begin(), text.end(), '\r', ' ');  // one line per row
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal) {
    std::vector<const SummaryColumn*> columns = consoleColumns();
    std::vector<std::vector<std::string>> cells(1);
    for (const SummaryColumn* c : columns) cells[0].push_back(c->name);
    for (const SummaryRow& row : rows) {
        cells.emplace_back();
        for (const SummaryColumn* c : columns) cells.back().push_back(tableText(c->cell(row), forTerminal));
    }
    auto width = [forTerminal](const std::string& cell) { return forTerminal ? characters(cell) : cell.size(); };
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& line : cells) {
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], width(line[i]));
    }
    std::string text;
    for (const auto& line : cells) {
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::string pad(widths[i] - width(line[i]), ' ');
            bool left = columns[i]->identifies;  // names left, numbers and dates right
            out += (i > 0 ? "  " : "") + (left ? line[i] + pad : pad + line[i]);
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        text += out + "\n";
    }
    return text;
}

}  // namespace view
}  // namespace zoneloads
