#include "view/tables/csv.h"

#include <algorithm>
#include <cmath>

#include "common/number_display.h"
#include "common/text_encoding.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {
namespace {

const char kLineEnd[] = "\r\n";

// A field quoted as RFC 4180 says when it holds `special`.
std::string quoted(const std::string& field, const char* special) {
    if (field.find_first_of(special) == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// A name as a spreadsheet must take it: as text, never as a formula.
std::string asText(const std::string& name) {
    unsigned char first = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
    bool formulaLike = first == '=' || first == '+' || first == '-' || first == '@' || (first != 0 && first < 0x20);
    return formulaLike ? "'" + name : name;
}

// A cell as the Spanish CSV writes it.
std::string spanishText(const Cell& cell) {
    switch (cell.kind) {
        case CellKind::date: return hourFullDate(cell.hour);
        case CellKind::report:
        case CellKind::zone:
            // Names that are UTF-8 (a file's on Windows, and usually
            // elsewhere; a zone's now and then) in the CSV's Windows-1252.
            return asText(windows1252OfName(cell.text));
        case CellKind::real: {
            std::string text = cell.text;
            std::replace(text.begin(), text.end(), '.', ',');
            return text;
        }
        default: return csvText(cell);
    }
}

// A cell as the script CSV writes it: names in UTF-8, as every other text.
std::string scriptText(const Cell& cell) {
    bool name = cell.kind == CellKind::report || cell.kind == CellKind::zone;
    return name ? utf8OfName(cell.text) : csvText(cell);
}

std::vector<std::string> headerNames(const std::vector<const SummaryColumn*>& columns) {
    std::vector<std::string> names;
    for (const SummaryColumn* c : columns) names.push_back(c->name);
    return names;
}

}  // namespace

std::string csvLine(const std::vector<std::string>& fields, char separator) {
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += separator;
        line += quoted(fields[i], special);
    }
    return line;
}

std::string scriptCsv(const std::vector<SummaryRow>& rows, const std::vector<DifferenceRow>& differences) {
    std::vector<const SummaryColumn*> columns = csvColumns();
    std::string csv = csvLine(headerNames(columns)) + kLineEnd;
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields;
        for (const SummaryColumn* c : columns) fields.push_back(scriptText(c->cell(row)));
        csv += csvLine(fields) + kLineEnd;
    }
    if (differences.empty()) return csv;
    csv += kLineEnd + csvLine(differenceHeader()) + kLineEnd;
    for (const DifferenceRow& row : differences) csv += csvLine(differenceFields(row)) + kLineEnd;
    return csv;
}

std::string spanishCsv(const std::vector<SummaryRow>& rows) {
    std::vector<const SummaryColumn*> columns = csvColumns();
    std::vector<std::string> labels;  // readable, in the file's Windows-1252
    for (const SummaryColumn* c : columns) labels.push_back(windows1252FromUtf8(c->label));
    std::string csv = csvLine(labels, ';') + kLineEnd;
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields;
        for (const SummaryColumn* c : columns) fields.push_back(spanishText(c->cell(row)));
        csv += csvLine(fields, ';') + kLineEnd;
    }
    return csv;
}

std::vector<std::string> differenceFields(const DifferenceRow& row) {
    auto block = [&row](int b) { return row.building ? std::string("TOTAL") : std::to_string(b); };
    std::vector<std::string> fields = {utf8OfName(row.baseReport), utf8OfName(row.variantReport),
                                       row.building ? "EDIFICIO" : utf8OfName(row.zone), block(row.baseBlock),
                                       block(row.variantBlock)};
    for (const ComparedFigure& f : row.figures) {
        if (f.none) {
            fields.insert(fields.end(), 4, "");
            continue;
        }
        double percent = percentOfBase(f.base, f.variant);
        double difference = f.variant - f.base;
        fields.push_back(general6(f.base));
        fields.push_back(general6(f.variant));
        fields.push_back(std::isnan(difference) ? "" : general6(difference));  // none between two infinities
        fields.push_back(std::isnan(percent) ? "" : general6(percent));
    }
    return fields;
}

}  // namespace view
}  // namespace zoneloads
