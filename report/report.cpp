#include "report/report.h"

#include <cerrno>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "common/number_format.h"
#include "common/output_file.h"
#include "common/platform.h"
#include "report/hourly_totals.h"
#include "reportfile/report_format.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

// Room for a whole zone block: nine opening lines, the hourly lines, the
// extremes line, and the formatter's slack past the last.
constexpr std::size_t kMaxBlockBytes =
    kOpeningLines * kMaxLineBytes + kHoursPerYear * kMaxHourLineBytes + kMaxLineBytes + kMaxNumberChars;

// Where one zone block is read and formatted: its record and its text.
struct BlockSlot {
    std::unique_ptr<ZoneRecord> record = std::make_unique<ZoneRecord>();  // 286 kB: on the heap
    std::unique_ptr<char[]> text;  // kMaxBlockBytes, of which only what is written is ever touched
    std::size_t length = 0;
};

// The largest Qs above 0 and the smallest below 0, both starting from 0.
void zoneExtremes(const ZoneRecord& zone, float32& qsMax, float32& qsMin) {
    qsMax = 0;
    qsMin = 0;
    for (int h = 0; h < kHoursPerYear; ++h) {
        float32 qs = zone.Qs[h];
        if (!(qs >= qsMin)) qsMin = qs;  // a NaN compares false, so it replaces qsMin
        if (qs > qsMax) qsMax = qs;      // ... but never qsMax
    }
}

// Reads zone `zone` into the slot and formats its whole block there; false
// when the zone cannot be read.
bool formatBlock(const ZoneFile& input, int32 zone, BlockSlot& slot) {
    errno = 0;
    if (!readZone(input, zone, *slot.record)) {
        // The system had no memory to open or read the file with: that, not
        // the file, is what failed (the program's last catch says so).
        if (errno == ENOMEM) throw std::bad_alloc();
        return false;
    }
    if (!slot.text) slot.text.reset(new char[kMaxBlockBytes]);
    const ZoneRecord& record = *slot.record;
    char* at = writeOpeningLines(slot.text.get(), record);
    LastWrittenLine cache;
    for (int h = 0; h < kHoursPerYear; ++h) at = writeHourLine(at, record, h, cache);
    float32 qsMax, qsMin;
    zoneExtremes(record, qsMax, qsMin);
    at = writeExtremesLine(at, qsMax, qsMin);
    slot.length = static_cast<std::size_t>(at - slot.text.get());
    return true;
}

// Adds a formatted block's loads into the totals and writes its text.
void writeBlock(const BlockSlot& slot, HourlyTotals& totals, OutputFile& out) {
    totals.addZone(slot.record->Qs, slot.record->QL);
    writeOutput(out, slot.text.get(), slot.length);
}

// The number of slots the report walks: those before the first negative one.
std::size_t walkedSlots(const ZoneSelection& selection) {
    std::size_t walked = 0;
    while (walked < selection.slots.size() && selection.slots[walked] >= 0) ++walked;
    return walked;
}

// Reads and formats the selection's zone blocks, up to its first negative
// slot, on the pipeline's threads, and writes them in order, adding each
// into the totals; false when a zone cannot be read. Block k is formatted in
// slot k % depth, which block k - depth has left once it was written.
bool writeZoneBlocks(const ZoneFile& input, const ZoneSelection& selection, HourlyTotals& totals, OutputFile& out,
                     int threads) {
    const std::size_t depth = static_cast<std::size_t>(threads) + 1;
    std::vector<BlockSlot> slots(depth);
    const std::size_t walked = walkedSlots(selection);
    bool read = true;
    std::size_t written = 0;
    Pipeline<bool> blocks(threads, depth);  // after the slots, which its jobs use
    auto writeOldest = [&] {
        read = blocks.takeOldest() && read;
        if (read) writeBlock(slots[written++ % depth], totals, out);
    };
    for (std::size_t k = 0; k < walked && read && !outputFailed(out); ++k) {
        if (blocks.full()) writeOldest();
        if (!read) break;
        BlockSlot& slot = slots[k % depth];
        int32 zone = selection.slots[k];
        blocks.give([&input, zone, &slot] { return formatBlock(input, zone, slot); });
    }
    while (read && !blocks.empty()) writeOldest();
    return read;
}

}  // namespace

bool writeReport(const ZoneFile& input, const std::string& inputName, const FileName& report,
                 const ZoneSelection& selection, std::string& error, int threads) {
    OutputFile out;
    if (!openOutput(out, report)) {
        error = "# Error al abrir fichero salida " + report.text;
        return false;
    }
    writeStraightToDisk(out);
    auto totals = std::make_unique<HourlyTotals>();
    totals->clear();
    if (!writeZoneBlocks(input, selection, *totals, out, threads)) {
        error = readFailedMessage(inputName);
        return false;  // the report is abandoned: an old one keeps its bytes
    }
    totals->writeSection(out);
    std::string commitError;
    if (!commitOutputs({&out}, commitError)) {
        error = "# Error al escribir fichero salida " + report.text;
        // What the user can mend: a second line, as the viewer says it.
        if (out.error == kErrorFileInUse) error += "\n# El fichero esta abierto en otro programa";
        return false;
    }
    return true;
}

}  // namespace zoneloads
