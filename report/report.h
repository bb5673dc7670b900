// The report (layout: doc/formats.md): one block per chosen zone, then the
// hourly totals over every block.
#pragma once

#include <string>

#include "common/file_name.h"
#include "common/pipeline.h"
#include "common/zone_selection.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// Writes the report of the selection's zones of `input` (named `inputName`
// in messages), up to its first negative slot, then the totals section. An existing report is replaced only by a
// complete one (see common/output_file.h). Returns false, with the console
// message that says why in `error`, when the report cannot be created or
// written or a zone cannot be read (a second line of it when another
// program holds the report open). Zone blocks are read and formatted on
// `threads` worker threads (0: all on the calling thread); the bytes are the
// same whatever their number.
bool writeReport(const ZoneFile& input, const std::string& inputName, const FileName& report,
                 const ZoneSelection& selection, std::string& error, int threads = kWorkerThreads);

}  // namespace zoneloads
