#include "view/summary_table.h"

#include <algorithm>
#include <cstring>

#include "view/markup.h"

namespace zoneloads {
namespace view {

const char* const kCsvHeader =
    "informe,bloque,zona,QsREF_max[W],hora_QsREF_max,QsCAL_max[W],hora_QsCAL_max,Qs_pos[kWh],Qs_neg[kWh],"
    "QL[kWh],horas_Qs_pos,horas_Qs_neg";

namespace {

std::string hourText(int hour) { return hour < 0 ? "" : std::to_string(hour); }

}  // namespace

std::string kWhText(double wh) { return general6(wh / 1000.0); }

std::vector<std::string> headerNames() {
    std::vector<std::string> names;
    for (const char *p = kCsvHeader, *comma; p; p = comma ? comma + 1 : nullptr) {
        comma = std::strchr(p, ',');
        names.push_back(comma ? std::string(p, comma) : std::string(p));
    }
    return names;
}

SummaryRow summaryRow(const std::string& reportName, const Section& section, const SectionFigures& figures) {
    const Summary& s = figures.summary;
    return {reportName,
            section.totals ? "TOTAL" : std::to_string(section.block),
            section.totals ? "" : section.name,
            s.maxPosText,
            hourText(s.maxPosHour),
            s.minNegText,
            hourText(s.minNegHour),
            kWhText(s.sumPosWh),
            kWhText(s.sumNegWh),
            kWhText(s.sumQLWh),
            std::to_string(s.hoursPos),
            std::to_string(s.hoursNeg)};
}

std::string csvLine(const SummaryRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& f = row[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

namespace {

// The characters of UTF-8 text: its bytes but continuation bytes.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::string textTable(const std::vector<SummaryRow>& rows, bool forTerminal) {
    std::vector<SummaryRow> all;
    all.push_back(headerNames());
    all.insert(all.end(), rows.begin(), rows.end());
    for (SummaryRow& row : all) {
        for (std::string& cell : row) {
            if (forTerminal) {
                cell = displayText(cell);  // no control byte reaches a terminal
            } else {
                for (char& c : cell) {
                    if (c == '\r' || c == '\n') c = ' ';  // one line per row
                }
            }
        }
    }
    auto width = [forTerminal](const std::string& cell) { return forTerminal ? characters(cell) : cell.size(); };
    std::vector<std::size_t> widths(all[0].size(), 0);
    for (const SummaryRow& row : all) {
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], width(row[i]));
    }
    std::string text;
    for (const SummaryRow& row : all) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string& cell = row[i];
            bool left = i < 3;  // names left, numbers right
            std::string pad(widths[i] - width(cell), ' ');
            line += (i > 0 ? "  " : "") + (left ? cell + pad : pad + cell);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

}  // namespace view
}  // namespace zoneloads
