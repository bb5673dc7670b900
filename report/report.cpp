#include "report/report.h"

#include <cstring>
#include <memory>
#include <vector>

#include "common/number_format.h"
#include "report/hour_lines.h"
#include "report/hourly_totals.h"
#include "report/report_output.h"
#include "zonefile/zone_file.h"

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

// One zone block; the worker adds each hour's loads into `totals` and reads
// zone `next` (if not negative) into `nextRecord` meanwhile.
void writeZoneBlock(const ZoneRecord& zone, HourlyTotals& totals, HourLineWorker& worker, ReportOutput& out,
                    const std::string& inputFileName, int32 next, ZoneRecord& nextRecord) {
    writeOpeningLines(zone, out);
    writeHourLines(zone, totals, worker, out, inputFileName, next, nextRecord);
    float32 qsMax = 0;
    float32 qsMin = 0;
    for (int h = 0; h < kHoursPerYear; ++h) {
        float32 qs = zone.Qs[h];
        if (!(qs >= qsMin)) qsMin = qs;  // a NaN compares false, so it replaces qsMin
        if (qs > qsMax) qsMax = qs;      // ... but never qsMax
    }
    char* p = lineStart(out);
    p = formatFloat32(qsMax, p);
    p = appendText(p, " , ");
    p = formatFloat32(qsMin, p);
    endLine(out, p);
}

}  // namespace

bool writeReport(const std::string& inputFileName, const std::string& reportFileName,
                 const ZoneSelection& selection, std::string& error) {
    ReportOutput out;
    if (!openReport(out, reportFileName)) {
        error = "# Error al abrir fichero salida " + reportFileName;
        return false;
    }
    auto totals = std::make_unique<HourlyTotals>();
    clear(*totals);

    // Two record buffers: the worker reads the next zone into one while the
    // block of the other is written.
    auto first = std::make_unique<ZoneRecord>();  // 286 kB each: on the heap
    auto second = std::make_unique<ZoneRecord>();
    ZoneRecord* records[2] = {first.get(), second.get()};
    const std::vector<int32>& slots = selection.slots;
    std::size_t walked = 0;  // the slots before the first negative one
    while (walked < slots.size() && slots[walked] >= 0) ++walked;

    HourLineWorker worker;
    startHourLineWorker(worker);
    bool read = walked == 0 || readZone(inputFileName, slots[0], *records[0]);
    for (std::size_t k = 0; k < walked && read; ++k) {
        int32 next = k + 1 < walked ? slots[k + 1] : -1;
        writeZoneBlock(*records[k % 2], *totals, worker, out, inputFileName, next, *records[(k + 1) % 2]);
        read = finishNextRead(worker) || next < 0;
    }
    stopHourLineWorker(worker);
    if (!read) {
        abandonReport(out);
        error = readFailedMessage(inputFileName);
        return false;
    }
    writeSection(*totals, out);
    if (!closeReport(out)) {
        error = "# Error al escribir fichero salida " + reportFileName;
        return false;
    }
    return true;
}

}  // namespace zoneloads
