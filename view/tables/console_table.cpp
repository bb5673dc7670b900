#include "view/tables/console_table.h"

#include <algorithm>

#include "common/text_encoding.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

// The width of a console window the table fits by default.
constexpr std::size_t kWindowColumns = 120;
constexpr std::size_t kNarrowestName = 8;

// The characters of a cell's UTF-8 text.
std::size_t width(const std::string& cell) {
    std::size_t n = 0;
    for (unsigned char c : cell) n += (c & 0xC0) != 0x80;
    return n;
}

// A cell's text in the table, UTF-8 wherever the table goes: a heating
// figure as its magnitude, numbers with a decimal comma, dates as
// "17 jul 13:00", names converted (a name that is not UTF-8 read as
// Windows-1252), and on a terminal no control byte.
std::string tableText(const SummaryColumn& column, const Cell& cell, bool forTerminal) {
    Cell value = shownCell(column, cell);
    std::string text = value.kind == CellKind::date   ? hourDate(value.hour)
                       : value.kind == CellKind::real ? decimalComma(value.text)
                                                      : csvText(value);
    if (value.kind != CellKind::report && value.kind != CellKind::zone) return text;
    if (forTerminal) return displayFileName(text);
    text = utf8OfName(text);
    std::replace(text.begin(), text.end(), '\r', ' ');  // one line per row
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// `text` cut to `room` characters, its end marked ("..." on a terminal, "~"
// in a file).
std::string cut(const std::string& text, std::size_t room, bool forTerminal) {
    if (width(text) <= room) return text;
    std::string out;
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++n == room) break;
        out += text[i];
    }
    return out + (forTerminal ? "\xE2\x80\xA6" : "~");
}

using Lines = std::vector<std::vector<std::string>>;

// The lines as aligned text: identifying columns left, numbers right.
std::string aligned(const Lines& lines, const std::vector<const SummaryColumn*>& columns) {
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], width(line[i]));
    }
    std::string text;
    for (const auto& line : lines) {
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::string pad(widths[i] - width(line[i]), ' ');
            out += (i > 0 ? "  " : "") + (columns[i]->identifies ? line[i] + pad : pad + line[i]);
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        text += out + "\n";
    }
    return text;
}

// The widest the zone names may be for the lines to fit a window.
std::size_t nameRoom(const Lines& lines, const std::vector<const SummaryColumn*>& columns, std::size_t nameColumn) {
    std::size_t total = 2 * (columns.size() - 1), name = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::size_t widest = 0;
        for (const auto& line : lines) widest = std::max(widest, width(line[i]));
        if (i == nameColumn) name = widest;
        total += widest;
    }
    return total <= kWindowColumns ? name : std::max(kNarrowestName, name - (total - kWindowColumns));
}

// The table of the window's columns, a heading line per report.
std::string windowTable(const std::vector<SummaryRow>& rows, bool forTerminal) {
    std::vector<const SummaryColumn*> columns = consoleColumns();
    std::string text;
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t end = first;
        while (end < rows.size() && rows[end].report == rows[first].report) ++end;
        Lines lines(1);
        for (const SummaryColumn* c : columns) lines[0].push_back(c->shortLabel);
        for (std::size_t r = first; r < end; ++r) {
            lines.emplace_back();
            for (const SummaryColumn* c : columns) lines.back().push_back(tableText(*c, c->cell(rows[r]), forTerminal));
        }
        std::size_t nameColumn = 1;  // the zone's, after the block's
        std::size_t room = nameRoom(lines, columns, nameColumn);
        for (auto& line : lines) line[nameColumn] = cut(line[nameColumn], room, forTerminal);
        Cell report{CellKind::report, rows[first].report, 0, -1};
        text += (first > 0 ? "\n" : "") + std::string("Informe ") + tableText(*csvColumns()[0], report, forTerminal) +
                "\n" + aligned(lines, columns);
        first = end;
    }
    return text;
}

}  // namespace

std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal, bool full) {
    if (!full) return windowTable(rows, forTerminal);
    std::vector<const SummaryColumn*> columns = csvColumns();
    Lines lines(1);
    for (const SummaryColumn* c : columns) lines[0].push_back(c->name);
    for (const SummaryRow& row : rows) {
        lines.emplace_back();
        for (const SummaryColumn* c : columns) lines.back().push_back(tableText(*c, c->cell(row), forTerminal));
    }
    return aligned(lines, columns);
}

}  // namespace view
}  // namespace zoneloads
