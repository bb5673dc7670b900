#include "view/summary_table.h"

#include <algorithm>
#include <cstring>

#include "common/calendar.h"
#include "common/text_encoding.h"
#include "view/markup.h"

namespace zoneloads {
namespace view {
namespace {

const char* const kCsvHeader[] = {"informe",
                                  "bloque",
                                  "zona",
                                  "QsREF_max[W]",
                                  "hora_QsREF_max",
                                  "QsCAL_max[W]",
                                  "hora_QsCAL_max",
                                  "Qs_pos[kWh]",
                                  "Qs_neg[kWh]",
                                  "QL[kWh]",
                                  "horas_Qs_pos",
                                  "horas_Qs_neg",
                                  "fecha_QsREF_max",
                                  "fecha_QsCAL_max",
                                  "suma_QsREF_max_zonas",
                                  "suma_QsCAL_max_zonas",
                                  "QL_max[W]",
                                  "fecha_QL_max",
                                  "QsQL_max[W]",
                                  "fecha_QsQL_max",
                                  "horas_T_sobre_max",
                                  "horas_T_bajo_min",
                                  "Kh_sobre_max",
                                  "Kh_bajo_min",
                                  "bloque_mas_horas_fuera"};
enum Column {
    kReport,
    kBlock,
    kZone,
    kMaxPos,
    kMaxPosHour,
    kMinNeg,
    kMinNegHour,
    kPos,
    kNeg,
    kQL,
    kHoursPos,
    kHoursNeg,
    kMaxPosDate,
    kMinNegDate,
    kZonePeaksPos,
    kZonePeaksNeg,
    kMaxQL,
    kMaxQLDate,
    kMaxTotal,
    kMaxTotalDate,
    kHoursAbove,
    kHoursBelow,
    kDegreeHoursAbove,
    kDegreeHoursBelow,
    kWorstBlock,
    kColumns
};

std::string hourText(int hour) { return hour < 0 ? "" : std::to_string(hour); }

// A field quoted as RFC 4180 says when it holds `special`.
std::string quoted(const std::string& field, const char* special) {
    if (field.find_first_of(special) == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The characters of UTF-8 text: its bytes but continuation bytes.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// A name as a spreadsheet must take it: as text, never as a formula.
std::string asText(const std::string& name) {
    unsigned char first = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
    bool formulaLike = first == '=' || first == '+' || first == '-' || first == '@' || (first != 0 && first < 0x20);
    return formulaLike ? "'" + name : name;
}

// The date of a peak's hour as `format` writes it; empty for no peak.
std::string peakDate(int hour, std::string (*format)(int)) { return hour < 0 ? "" : format(hour); }

// Writes the dates of the row's four peaks with `format`.
void setPeakDates(std::vector<std::string>& fields, const Summary& s, std::string (*format)(int)) {
    fields[kMaxPosDate] = peakDate(s.maxPosHour, format);
    fields[kMinNegDate] = peakDate(s.minNegHour, format);
    fields[kMaxQLDate] = peakDate(s.maxQLHour, format);
    fields[kMaxTotalDate] = peakDate(s.maxTotalHour, format);
}

}  // namespace

PeakDay peakDay(const SectionFigures& figures, int hour) {
    PeakDay day;
    if (hour < 0) return day;
    day.firstHour = dayStart(hour);
    for (int h = 0; h < kHoursPerDay; ++h) {
        auto at = static_cast<std::size_t>(day.firstHour + h);
        day.qs[h] = figures.qs[at];
        day.ql[h] = figures.ql[at];
        if (figures.treal.empty()) continue;
        day.treal[h] = figures.treal[at];
        day.tmax[h] = figures.tmax[at];
        day.tmin[h] = figures.tmin[at];
    }
    return day;
}

SummaryRow summaryRow(const std::string& reportName, const std::string& zoneName, int block, const Summary& summary) {
    SummaryRow row;
    row.report = reportName;
    row.block = block;
    row.zone = zoneName;
    row.summary = summary;
    return row;
}

void addZoneFigures(SummaryRow& totals, const std::vector<SummaryRow>& zoneRows) {
    totals.zonePeaksPos = 0;
    totals.zonePeaksNeg = 0;
    totals.worstBlock = 0;
    totals.zoneHoursAbove = 0;
    totals.zoneHoursBelow = 0;
    int mostHours = -1;
    for (const SummaryRow& row : zoneRows) {
        totals.zonePeaksPos += row.summary.maxPos;
        totals.zonePeaksNeg += row.summary.minNeg;
        totals.zoneHoursAbove += row.summary.hoursAbove;
        totals.zoneHoursBelow += row.summary.hoursBelow;
        int outside = row.summary.hoursAbove + row.summary.hoursBelow;
        if (outside > mostHours) {
            mostHours = outside;
            totals.worstBlock = row.block;
            totals.worstZone = row.zone;
            totals.worst = row.summary;
        }
    }
}

const Summary& temperatureSummary(const SummaryRow& row) { return row.block == 0 ? row.worst : row.summary; }

double simultaneity(double buildingPeak, double zonePeaks) { return zonePeaks != 0 ? buildingPeak / zonePeaks : 0; }

std::string kWhText(double wh) { return general6(wh / 1000.0); }

std::vector<std::string> csvHeaderNames() {
    return std::vector<std::string>(std::begin(kCsvHeader), std::end(kCsvHeader));
}

std::vector<std::string> csvFields(const SummaryRow& row) {
    const Summary& s = row.summary;
    bool totals = row.block == 0;
    return {row.report,
            totals ? "TOTAL" : std::to_string(row.block),
            row.zone,
            s.maxPosText,
            hourText(s.maxPosHour),
            s.minNegText,
            hourText(s.minNegHour),
            kWhText(s.sumPosWh),
            kWhText(s.sumNegWh),
            kWhText(s.sumQLWh),
            std::to_string(s.hoursPos),
            std::to_string(s.hoursNeg),
            peakDate(s.maxPosHour, hourDayMonth),
            peakDate(s.minNegHour, hourDayMonth),
            totals ? general6(row.zonePeaksPos) : "",
            totals ? general6(row.zonePeaksNeg) : "",
            s.maxQLText,
            peakDate(s.maxQLHour, hourDayMonth),
            general6(s.maxTotal),
            peakDate(s.maxTotalHour, hourDayMonth),
            std::to_string(temperatureSummary(row).hoursAbove),
            std::to_string(temperatureSummary(row).hoursBelow),
            general6(temperatureSummary(row).degreeHoursAbove),
            general6(temperatureSummary(row).degreeHoursBelow),
            totals && row.worstBlock > 0 ? std::to_string(row.worstBlock) : ""};
}

std::string csvLine(const std::vector<std::string>& fields, char separator) {
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += separator;
        line += quoted(fields[i], special);
    }
    return line;
}

std::string spanishCsv(const std::vector<SummaryRow>& rows) {
    std::string csv = csvLine(csvHeaderNames(), ';') + "\r\n";
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields = csvFields(row);
        for (int c : {kMaxPos, kMinNeg, kPos, kNeg, kQL, kZonePeaksPos, kZonePeaksNeg, kMaxQL, kMaxTotal,
                      kDegreeHoursAbove, kDegreeHoursBelow}) {
            std::replace(fields[c].begin(), fields[c].end(), '.', ',');
        }
        // The report's name as the system gave it (UTF-8 on Windows, and
        // usually elsewhere) in the CSV's Windows-1252; zone names already are.
        if (isValidUtf8(fields[kReport])) fields[kReport] = windows1252FromUtf8(fields[kReport]);
        fields[kReport] = asText(fields[kReport]);
        fields[kZone] = asText(fields[kZone]);
        setPeakDates(fields, row.summary, hourFullDate);
        csv += csvLine(fields, ';') + "\r\n";
    }
    return csv;
}

std::string textTable(const std::vector<SummaryRow>& rows, bool forTerminal) {
    const std::vector<int> columns = {kReport,     kBlock, kZone,      kMaxPos,   kMaxPosDate,   kMinNeg,
                                      kMinNegDate, kMaxQL, kMaxQLDate, kMaxTotal, kMaxTotalDate, kPos,
                                      kNeg,        kQL,    kHoursPos,  kHoursNeg, kHoursAbove,   kHoursBelow};
    std::vector<std::vector<std::string>> all;
    std::vector<std::string> header = csvHeaderNames();
    std::vector<std::string> picked;
    for (int c : columns) picked.push_back(header[static_cast<std::size_t>(c)]);
    all.push_back(picked);
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields = csvFields(row);
        setPeakDates(fields, row.summary, hourDate);
        picked.clear();
        for (int c : columns) picked.push_back(fields[static_cast<std::size_t>(c)]);
        all.push_back(picked);
    }
    for (std::vector<std::string>& row : all) {
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
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& row : all) {
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], width(row[i]));
    }
    std::string text;
    for (const auto& row : all) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            bool left = i < 3;  // names left, numbers and dates right
            std::string pad(widths[i] - width(row[i]), ' ');
            line += (i > 0 ? "  " : "") + (left ? row[i] + pad : pad + row[i]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

}  // namespace view
}  // namespace zoneloads
