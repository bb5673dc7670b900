// The viewer's work, given its options: read the reports, write the page,
// the CSVs and the workbook, and give the summary rows. The outputs are
// written to temporary files beside them and put in place together only when
// all are complete: a run that fails leaves every existing one as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/file_name.h"
#include "view/figures/provenance.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_row.h"
#include "view/workbook/workbook.h"

namespace zoneloads {
namespace view {

struct ViewerOptions {
    std::vector<FileName> reports;
    FileName page;                         // the page to write
    FileName csv;                          // the script CSV to write; an empty name for none
    FileName csvEs;                        // the CSV for a Spanish-locale spreadsheet; empty for none
    FileName xlsx;                         // the workbook; empty for none
    bool compare = false;                  // the first report the base, the others variants compared with it
    double tolerance = kDefaultTolerance;  // K beyond a set point before an hour counts outside it
    WorkbookLimits workbookLimits;
    // Where the outputs come from, for the page and the workbook to print:
    // filled by the program (describeRun); empty where a run does not.
    Provenance provenance;
};

// What a run does once every output is written and before any is put in
// place (the table on standard output): false, with a message, when it
// fails, and then no output is changed.
using BeforeOutputsPlaced = std::function<bool(const std::vector<SummaryRow>& rows, std::string& error)>;

// Reads the reports and writes the outputs, reading and drawing sections on
// `threads` worker threads (0: all on this one; the bytes are the same).
// Returns false, with a one-line message in `error`, when a report cannot be
// read or an output cannot be written; then no output is changed. With
// `warnings`, the zone blocks a comparison could not pair are named there.
bool writeViewerOutputs(const ViewerOptions& options, int threads, std::vector<SummaryRow>& rows, std::string& error,
                        std::vector<std::string>* warnings = nullptr, const BeforeOutputsPlaced& beforePlaced = {});

}  // namespace view
}  // namespace zoneloads
