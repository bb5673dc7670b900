#include "report/hour_lines.h"

#include <cstdint>
#include <cstring>
#include <functional>

#include "common/number_format.h"

namespace zoneloads {
namespace {

constexpr int kHalfYear = kHoursPerYear / 2;
// The longest hourly line: six reals of 12 characters, two integers of 11,
// seven separators and the line end; the formatter may store up to
// kMaxNumberChars bytes past the end of the last number.
constexpr std::size_t kMaxHourLineBytes = 6 * 12 + 2 * 11 + 7 * 3 + 2;
constexpr std::size_t kHalfBytes = kHalfYear * kMaxHourLineBytes + kMaxNumberChars;

// Where a column's value of the previous hour stands in the output buffer.
// Set points, idle loads and flows stay the same for hours on end, and the
// same bits always give the same text, so an unchanged value is copied from
// the previous line instead of formatted again. A changed value is formatted
// straight into the line: formatting it elsewhere and copying it over would
// read back bytes just stored, which the processor cannot forward and makes
// wait.
struct ColumnText {
    std::uint32_t bits = 0;
    const char* text = nullptr;  // nullptr: no previous text to copy
    std::size_t length = 0;
};

char* appendColumn(char* p, float32 value, ColumnText& column, const char* lineBuffer) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char* end;
    // The previous line is copyable only while it is in the buffer this line
    // is written to (a full buffer is handed over between two lines).
    std::less<const char*> before;  // pointers into different buffers compare too
    if (bits == column.bits && column.text && !before(column.text, lineBuffer) && before(column.text, p)) {
        std::memcpy(p, column.text, kMaxNumberChars);  // the line has room; the excess is overwritten
        end = p + column.length;
    } else {
        end = formatFloat32(value, p);
    }
    column.bits = bits;
    column.text = p;
    column.length = static_cast<std::size_t>(end - p);
    return end;
}

// The six real columns of the hourly lines, in report order.
constexpr int kRealColumns = 6;

// A real column's value and the separator after it.
char* appendField(char* p, float32 value, ColumnText& column, const char* buffer) {
    return appendText(appendColumn(p, value, column, buffer), " , ");
}

// Formats the line of hour h at `p` (in the buffer that starts at `buffer`)
// and returns its end, after the CR LF. The columns in report order, which
// is not their order in the record, written out rather than looked up.
char* formatHourLine(const ZoneRecord& zone, int h, ColumnText (&columns)[kRealColumns], char* p,
                     const char* buffer) {
    p = appendField(p, zone.Treal[h], columns[0], buffer);
    p = appendField(p, zone.Tmax[h], columns[1], buffer);
    p = appendField(p, zone.Tmin[h], columns[2], buffer);
    p = appendField(p, zone.Qs[h], columns[3], buffer);
    p = appendField(p, zone.QL[h], columns[4], buffer);
    p = appendField(p, zone.VventInf[h], columns[5], buffer);
    p = appendText(formatInt32(zone.daCal[h], p), " , ");
    p = formatInt32(zone.daRef[h], p);
    p[0] = '\r';
    p[1] = '\n';
    return p + 2;
}

// The worker: formats the second half of each zone it is given, then reads
// the next zone.
void formatSecondHalves(HourLineWorker& w) {
    std::unique_lock<std::mutex> lock(w.mutex);
    for (;;) {
        w.changed.wait(lock, [&w] { return w.busy || w.stopping; });
        if (!w.busy) return;
        lock.unlock();
        ColumnText columns[kRealColumns];
        char* p = w.text.data();
        for (int h = kHalfYear; h < kHoursPerYear; ++h) p = formatHourLine(*w.zone, h, columns, p, w.text.data());
        lock.lock();
        w.length = static_cast<std::size_t>(p - w.text.data());
        w.formatted = true;
        w.changed.notify_all();
        lock.unlock();
        for (int h = 0; h < kHoursPerYear; ++h) add(*w.totals, h, w.zone->Qs[h], w.zone->QL[h]);
        bool read = w.nextZone >= 0 && readZone(*w.inputFileName, w.nextZone, *w.nextRecord);
        lock.lock();
        w.nextRead = read;
        w.busy = false;
        w.changed.notify_all();
    }
}

}  // namespace

void startHourLineWorker(HourLineWorker& worker) {
    worker.text.resize(kHalfBytes);
    worker.busy = false;
    worker.stopping = false;
    worker.thread = std::thread(formatSecondHalves, std::ref(worker));
}

void stopHourLineWorker(HourLineWorker& worker) {
    {
        std::lock_guard<std::mutex> lock(worker.mutex);
        worker.stopping = true;
    }
    worker.changed.notify_all();
    worker.thread.join();
}

void writeHourLines(const ZoneRecord& zone, HourlyTotals& totals, HourLineWorker& worker, ReportOutput& out,
                    const std::string& inputFileName, int32 nextZone, ZoneRecord& nextRecord) {
    {
        std::lock_guard<std::mutex> lock(worker.mutex);
        worker.zone = &zone;
        worker.totals = &totals;
        worker.formatted = false;
        worker.inputFileName = &inputFileName;
        worker.nextZone = nextZone;
        worker.nextRecord = &nextRecord;
        worker.busy = true;
    }
    worker.changed.notify_all();
    ColumnText columns[kRealColumns];
    for (int h = 0; h < kHalfYear; ++h) {
        char* p = lineStart(out);
        endLine(out, formatHourLine(zone, h, columns, p, out.buffer.data()) - 2);
    }
    std::unique_lock<std::mutex> lock(worker.mutex);
    worker.changed.wait(lock, [&worker] { return worker.formatted; });
    lock.unlock();  // the text stays put until the next zone is given
    writeBytes(out, worker.text.data(), worker.length);
}

bool finishNextRead(HourLineWorker& worker) {
    std::unique_lock<std::mutex> lock(worker.mutex);
    worker.changed.wait(lock, [&worker] { return !worker.busy; });
    return worker.nextRead;
}

}  // namespace zoneloads
