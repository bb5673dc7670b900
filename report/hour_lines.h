// The 8,760 hourly lines of a zone block, the bulk of every report. They are
// formatted on two threads: a worker formats the second half of the year
// into a buffer of its own while the caller formats the first half into the
// report, and the caller then appends the worker's text, so the lines come
// out whole and in order. Once its half is done, the worker adds the zone's
// loads into the hourly totals and reads the next zone's record into a
// second buffer, while the caller finishes the block.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "report/hourly_totals.h"
#include "report/report_output.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

struct HourLineWorker {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    const ZoneRecord* zone = nullptr;  // the zone to format, while `busy`
    HourlyTotals* totals = nullptr;    // where its loads are added
    bool busy = false;
    bool stopping = false;
    std::vector<char> text;  // the second half's lines
    std::size_t length = 0;
    bool formatted = false;  // `text` holds the second half of `zone`
    // The record to read once the half is formatted: zone `nextZone` (none
    // when negative) of `inputFileName`, into `nextRecord`.
    const std::string* inputFileName = nullptr;
    int32 nextZone = -1;
    ZoneRecord* nextRecord = nullptr;
    bool nextRead = false;  // the read succeeded
};

// Starts the worker (once per report).
void startHourLineWorker(HourLineWorker& worker);

// Ends the worker.
void stopHourLineWorker(HourLineWorker& worker);

// Writes the hourly lines of `zone` to `out`, hour 0 first, and has the
// worker add the zone's loads into `totals` and read zone `nextZone` of
// `inputFileName` into `nextRecord` meanwhile (nothing for a negative zone).
void writeHourLines(const ZoneRecord& zone, HourlyTotals& totals, HourLineWorker& worker, ReportOutput& out,
                    const std::string& inputFileName, int32 nextZone, ZoneRecord& nextRecord);

// Waits for what writeHourLines left the worker to do; true when the read
// of the next zone succeeded.
bool finishNextRead(HourLineWorker& worker);

}  // namespace zoneloads
