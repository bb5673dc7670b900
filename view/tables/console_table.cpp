#include "view/tables/console_table.h"

#include <algorithm>
#include <cstring>

#include "common/text_encoding.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

// The width of a console window the table fits by default.
constexpr std::size_t kWindowColumns = 120;
constexpr std::size_t kNarrowestName = 8;

// The full table's headers of what it shows otherwise than the CSV: the
// heating figures, as magnitudes (the CSV's names say signed Qs, these say
// heating, calefacci\u00f3n), and the zone with most hours outside, by its
// label's number (kWorstBlock) rather than its block.
const char kWorstBlock[] = "bloque_mas_horas_fuera";
const char* const kFullHeaders[][2] = {
    {"QsCAL_max[W]", "calefacci\u00f3n_max[W]"},
    {"Qs_neg[kWh]", "calefacci\u00f3n[kWh]"},
    {"suma_QsCAL_max_zonas", "suma_calefacci\u00f3n_max_zonas[W]"},
    {"Qs_neg_neto[kWh]", "calefacci\u00f3n_neta[kWh]"},
    {kWorstBlock, "zona_mas_horas_fuera"},
};

// The characters of a cell's UTF-8 text.
std::size_t width(const std::string& cell) {
    std::size_t n = 0;
    for (unsigned char c : cell) n += (c & 0xC0) != 0x80;
    return n;
}

// A name in the table, UTF-8 wherever the table goes (a name that is not
// UTF-8 read as Windows-1252): on a terminal without control bytes,
// elsewhere every character kept but line breaks, one line per row.
std::string tableName(std::string name, bool forTerminal) {
    if (forTerminal) return displayFileName(name);
    name = utf8OfName(name);
    std::replace(name.begin(), name.end(), '\r', ' ');
    std::replace(name.begin(), name.end(), '\n', ' ');
    return name;
}

// A cell's text in the table: a heating figure as its magnitude, a figure
// in its quantity's decimals with a decimal comma and grouped thousands,
// dates as "17 jul 13:00", names as tableName says.
std::string tableText(const SummaryColumn& column, const Cell& cell, bool forTerminal) {
    Cell value = shownCell(column, cell);
    std::optional<Quantity> quantity = columnQuantity(column);
    switch (value.kind) {
        case CellKind::date: return hourDate(value.hour);
        case CellKind::report:
        case CellKind::zone: return tableName(value.text, forTerminal);
        case CellKind::integer:
        case CellKind::real: return quantity ? shownNumber(*quantity, value.number) : decimalComma(value.text);
        default: return csvText(value);
    }
}

// A zone block as every output names it ("3 \u00b7 NAME", "bloque 4 \u00b7
// NAME"), TOTAL for the building.
std::string labelText(const SummaryRow& row, bool forTerminal) {
    return zoneLabel(row, tableName(row.zone, forTerminal));
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

// The table's lines, cell by cell, and which columns are aligned left
// (names) rather than right (numbers, so that their decimal commas line up).
struct Lines {
    std::vector<std::vector<std::string>> cells;
    std::vector<bool> left;
};

// The widest cell of each column.
std::vector<std::size_t> columnWidths(const Lines& lines) {
    std::vector<std::size_t> widths(lines.left.size(), 0);
    for (const auto& line : lines.cells) {
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], width(line[i]));
    }
    return widths;
}

// The lines as aligned text, two blanks between columns.
std::string aligned(const Lines& lines) {
    std::vector<std::size_t> widths = columnWidths(lines);
    std::string text;
    for (const auto& line : lines.cells) {
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::string pad(widths[i] - width(line[i]), ' ');
            out += (i > 0 ? "  " : "") + (lines.left[i] ? line[i] + pad : pad + line[i]);
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        text += out + "\n";
    }
    return text;
}

// Cuts the zones' labels, in column `labels`, so that the lines fit a
// window; never below kNarrowestName characters.
void fitWindow(Lines& lines, std::size_t labels, bool forTerminal) {
    std::vector<std::size_t> widths = columnWidths(lines);
    std::size_t total = 2 * (widths.size() - 1);
    for (std::size_t w : widths) total += w;
    if (total <= kWindowColumns) return;
    std::size_t room = std::max(kNarrowestName, widths[labels] - (total - kWindowColumns));
    for (auto& line : lines.cells) line[labels] = cut(line[labels], room, forTerminal);
}

// The figures of a row in `columns`.
std::vector<std::string> figureCells(const SummaryRow& row, const std::vector<const SummaryColumn*>& columns,
                                     bool forTerminal) {
    std::vector<std::string> cells;
    for (const SummaryColumn* c : columns) cells.push_back(tableText(*c, c->cell(row), forTerminal));
    return cells;
}

// The table of the window's columns, a heading line per report: the zone's
// label, then the figures.
std::string windowTable(const std::vector<SummaryRow>& rows, bool forTerminal) {
    std::vector<const SummaryColumn*> columns = consoleColumns();
    std::string text;
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t end = first;
        while (end < rows.size() && rows[end].report == rows[first].report) ++end;
        Lines lines;
        lines.cells.push_back({"zona"});
        lines.left.push_back(true);
        for (const SummaryColumn* c : columns) {
            lines.cells[0].push_back(c->shortLabel);
            lines.left.push_back(c->identifies);
        }
        for (std::size_t r = first; r < end; ++r) {
            lines.cells.push_back({labelText(rows[r], forTerminal)});
            for (std::string& cell : figureCells(rows[r], columns, forTerminal)) lines.cells.back().push_back(cell);
        }
        fitWindow(lines, 0, forTerminal);
        text += (first > 0 ? "\n" : "") + std::string("Informe ") + tableName(rows[first].report, forTerminal) + "\n" +
                aligned(lines);
        first = end;
    }
    return text;
}

// A column's header in the full table: its CSV name, or the name of what
// the table shows instead (kFullHeaders).
const char* fullHeader(const SummaryColumn& column) {
    for (const auto& header : kFullHeaders) {
        if (std::strcmp(column.name, header[0]) == 0) return header[1];
    }
    return column.name;
}

// A row's figures in the full table: as the window's, but the zone with
// most hours outside named as its label names it ("7", "bloque 8").
std::vector<std::string> fullCells(const SummaryRow& row, const std::vector<const SummaryColumn*>& columns,
                                   bool forTerminal) {
    std::vector<std::string> cells = figureCells(row, columns, forTerminal);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (std::strcmp(columns[i]->name, kWorstBlock) == 0 && row.worstBlock > 0)
            cells[i] = zoneNumberText(row.worstZoneNumber, row.worstBlock);
    }
    return cells;
}

}  // namespace

std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal, bool full) {
    if (!full) return windowTable(rows, forTerminal);
    // The report, the zone's label (which holds its block or number), then
    // every figure of the CSV.
    std::vector<const SummaryColumn*> columns;
    for (const SummaryColumn* c : csvColumns()) {
        if (!c->identifies) columns.push_back(c);
    }
    Lines lines;
    lines.cells.push_back({"informe", "zona"});
    lines.left = {true, true};
    for (const SummaryColumn* c : columns) {
        lines.cells[0].push_back(fullHeader(*c));
        lines.left.push_back(false);
    }
    for (const SummaryRow& row : rows) {
        lines.cells.push_back({tableName(row.report, forTerminal), labelText(row, forTerminal)});
        for (std::string& cell : fullCells(row, columns, forTerminal)) lines.cells.back().push_back(cell);
    }
    return aligned(lines);
}

}  // namespace view
}  // namespace zoneloads
