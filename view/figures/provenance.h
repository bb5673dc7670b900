// Where a document of the viewer comes from, for the page and the workbook
// to print beside the caveat (definitions.h): the files read, each with the
// date it was last written, the program and its version, the date of the
// run and the set points' tolerance. Filled once per run (describeRun).
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "common/file_name.h"
#include "view/figures/section_figures.h"

namespace zoneloads {
namespace view {

// A file read, and when it was last written.
struct InputFile {
    std::string name;      // as given: bytes, UTF-8 on Windows
    std::string modified;  // local date and time, "17/05/2025 13:42"; empty when it cannot be told (a pipe)
};

struct Provenance {
    std::string program;                   // "zoneloads-view"
    std::string version;                   // the program's version, as --version prints it
    std::string runDate;                   // the run's start, local date and time, "17/05/2025 13:42"
    double tolerance = kDefaultTolerance;  // K
    std::vector<InputFile> inputs;         // in the order given
};

// Local date and time as the provenance writes them: "17/05/2025 13:42"
// (day, month, year, hour, minute, in the system's time zone); empty when
// the system cannot tell them.
std::string localDateText(std::time_t time);

// The provenance of a run that reads `inputs` with `tolerance` K: this
// program and version, the date now, and each input's last write.
Provenance describeRun(const std::vector<FileName>& inputs, double tolerance);

// The provenance as lines to print, in Spanish, UTF-8, names shown as
// displayFileName shows them (control characters as their pictures): the
// program and version ("Programa: zoneloads-view 1.2.0"), the run's date,
// a line per file read ("... casa.bin (modificado el 17/05/2025 13:40)"),
// the tolerance ("... 0,20 K").
std::vector<std::string> provenanceLines(const Provenance& provenance);

}  // namespace view
}  // namespace zoneloads
