#include "report/report.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/number_format.h"

namespace zoneloads {
namespace {

// Weights separated by a bare comma.
char* appendWeights(char* p, const float32* weights, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) *p++ = ',';
        p = formatFloat32(weights[i], p);
    }
    return p;
}

void writeOpeningLines(const ZoneRecord& zone, ReportOutput& out) {
    writeTextLine(out, "# ATENCION # Los valores son orientativos de potencias sensibles");
    writeTextLine(out, "# ATENCION # NO sirven como c\xE1lculo de cargas.");

    // The name line runs on into the header of the g(i) weights.
    char* p = appendText(lineStart(out), "# Nombre zona: ");
    std::size_t length = nameLength(zone.name);
    std::memcpy(p, zone.name, length);
    p = appendText(p + length, " : # Pesos g(i) #");
    endLine(out, p);

    endLine(out, appendWeights(lineStart(out), zone.g, 24));
    writeTextLine(out, "# Pesos p(i) #");
    endLine(out, appendWeights(lineStart(out), zone.p, 2));
    writeTextLine(out, "# LEYENDA #");
    writeTextLine(out, "Treal[C],Tmax[C],Tmin[C],Qs[W],QL[W],VventInf[kg/s],daCal,daRef");
    writeTextLine(out, "# max QsREF[W] , max QsCAL[W], Para la zona");
}

// The text of a column's value in the previous hour. Set points, idle loads
// and flows stay the same for hours on end, and the same bits always give
// the same text, so an unchanged value is copied instead of formatted again.
struct ColumnText {
    std::uint32_t bits;
    std::size_t length;
    char text[kMaxNumberChars];
};

void startColumn(ColumnText& column, float32 first) {
    std::memcpy(&column.bits, &first, sizeof column.bits);
    column.length = static_cast<std::size_t>(formatFloat32(first, column.text) - column.text);
}

char* appendColumn(char* p, float32 value, ColumnText& column) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits != column.bits) startColumn(column, value);
    std::memcpy(p, column.text, kMaxNumberChars);  // the line has room; the excess is overwritten
    return p + column.length;
}

// The six real columns of the hourly lines, in report order.
constexpr int kRealColumns = 6;

void writeHourLine(const ZoneRecord& zone, int h, ColumnText (&columns)[kRealColumns], ReportOutput& out) {
    char* p = lineStart(out);
    p = appendColumn(p, zone.Treal[h], columns[0]);
    p = appendText(p, " , ");
    p = appendColumn(p, zone.Tmax[h], columns[1]);
    p = appendText(p, " , ");
    p = appendColumn(p, zone.Tmin[h], columns[2]);
    p = appendText(p, " , ");
    p = appendColumn(p, zone.Qs[h], columns[3]);
    p = appendText(p, " , ");
    p = appendColumn(p, zone.QL[h], columns[4]);
    p = appendText(p, " , ");
    p = appendColumn(p, zone.VventInf[h], columns[5]);
    p = appendText(p, " , ");
    p = formatInt32(zone.daCal[h], p);
    p = appendText(p, " , ");
    p = formatInt32(zone.daRef[h], p);
    endLine(out, p);
}

}  // namespace

void writeZoneBlock(const ZoneRecord& zone, HourlyTotals& totals, ReportOutput& out) {
    writeOpeningLines(zone, out);
    ColumnText columns[kRealColumns];
    for (ColumnText& column : columns) startColumn(column, 0.0f);  // any start is a valid entry
    float32 qsMax = 0;
    float32 qsMin = 0;
    for (int h = 0; h < kHoursPerYear; ++h) {
        float32 qs = zone.Qs[h];
        if (!(qs >= qsMin)) qsMin = qs;  // a NaN compares false, so it replaces qsMin
        if (qs > qsMax) qsMax = qs;      // ... but never qsMax
        writeHourLine(zone, h, columns, out);
        add(totals, h, qs, zone.QL[h]);
    }
    char* p = lineStart(out);
    p = formatFloat32(qsMax, p);
    p = appendText(p, " , ");
    p = formatFloat32(qsMin, p);
    endLine(out, p);
}

ReportResult writeReport(const std::string& inputFileName, const std::string& reportFileName,
                         const ZoneSelection& selection, ZoneRecord& buffer) {
    ReportOutput out;
    if (!openReport(out, reportFileName)) return ReportResult::cannotOpen;
    auto totals = std::make_unique<HourlyTotals>();
    clear(*totals);

    ReportResult result = ReportResult::complete;
    for (int32 zone : selection.slots) {
        if (zone < 0) break;
        if (!readZone(inputFileName, zone, buffer)) {
            result = ReportResult::readFailed;
            break;
        }
        writeZoneBlock(buffer, *totals, out);
    }
    if (result != ReportResult::complete) {
        abandonReport(out);
        return result;
    }
    writeSection(*totals, out);
    return closeReport(out) ? ReportResult::complete : ReportResult::writeFailed;
}

}  // namespace zoneloads
