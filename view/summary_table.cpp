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

std::string textTable(const std::vector<SummaryRow>& rows) {
    std::vector<SummaryRow> all;
    SummaryRow header = headerNames();
    all.push_back(header);
    all.insert(all.end(), rows.begin(), rows.end());
    std::vector<std::size_t> width(header.size(), 0);
    for (const SummaryRow& row : all) {
        for (std::size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], row[i].size());
    }
    std::string text;
    for (const SummaryRow& row : all) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string cell = row[i];
            for (char& c : cell) {
                if (c == '\r' || c == '\n') c = ' ';  // one line per row
            }
            bool left = i < 3;  // names left, numbers right
            std::string pad(width[i] - cell.size(), ' ');
            line += (i > 0 ? "  " : "") + (left ? cell + pad : pad + cell);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

}  // namespace view
}  // namespace zoneloads
