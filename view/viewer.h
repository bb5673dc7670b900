// The viewer's work, given its options: read the reports, write the page
// and the CSV, and give the summary rows. The page and the CSV are written to
// temporary files beside them and put in place only when complete, so a
// failed run leaves an existing one as it was.
#pragma once

#include <string>
#include <vector>

#include "common/file_name.h"
#include "view/summary_table.h"

namespace zoneloads {
namespace view {

struct ViewerOptions {
    std::vector<FileName> reports;
    FileName page;  // the page to write
    FileName csv;   // the CSV to write; an empty name for none
};

// Reads the reports and writes the page and the CSV, reading and drawing
// sections on `threads` worker threads (0: all on this one; the bytes are
// the same). Returns false, with a one-line message in `error`, when a report
// cannot be read or an output cannot be written; then no output is changed.
bool writeViewerOutputs(const ViewerOptions& options, int threads, std::vector<SummaryRow>& rows, std::string& error);

}  // namespace view
}  // namespace zoneloads
