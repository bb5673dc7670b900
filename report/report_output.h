// The report file, written in binary mode (every line ends in CR LF on every
// platform) in large pieces straight from the caller's buffers. The file
// itself is a ReplacedFile: a run that fails at any point leaves an existing
// report as it was and creates none.
#pragma once

#include <cstddef>
#include <filesystem>

#include "common/replaced_file.h"

namespace zoneloads {

struct ReportOutput {
    ReplacedFile target;
    long long written = 0;  // bytes written so far
    bool failed = false;    // a write or the close failed: the report is incomplete
};

// Opens the report for writing (see above); false when it cannot be opened.
bool openReport(ReportOutput& out, const std::filesystem::path& fileName);

// Writes `length` bytes as they are (whole lines, with their line ends);
// a failure is kept in `out.failed`.
void writeReportBytes(ReportOutput& out, const char* bytes, std::size_t length);

// Closes the file and puts it in place of the report; false, with the
// temporary file removed, if a write or this failed.
bool closeReport(ReportOutput& out);

// Closes the file without completing the report: a temporary file is
// removed, so an existing report keeps its bytes.
void abandonReport(ReportOutput& out);

}  // namespace zoneloads
