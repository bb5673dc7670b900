#include "view/figures/provenance.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/text_encoding.h"
#include "view/figures/quantities.h"

namespace zoneloads {
namespace view {
namespace {

namespace fs = std::filesystem;

// When the file `path` was last written; false for what is not a file (a
// pipe, a device, a folder) or cannot be examined. C++17 gives a file's
// time on a clock of its own: it is carried over to the system's clock by
// the two clocks' present readings, true to a few microseconds.
bool lastWritten(const fs::path& path, std::time_t& time) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    fs::file_time_type written = fs::last_write_time(path, error);
    if (error) return false;
    auto since =
        std::chrono::duration_cast<std::chrono::system_clock::duration>(written - fs::file_time_type::clock::now());
    time = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() + since);
    return true;
}

}  // namespace

// std::localtime's result is shared by the process: it is taken here, on
// the main thread, before any worker starts.
std::string localDateText(std::time_t time) {
    const std::tm* local = std::localtime(&time);
    if (!local) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", local->tm_mday, local->tm_mon + 1,
                  local->tm_year + 1900, local->tm_hour, local->tm_min);
    return text;
}

Provenance describeRun(const std::vector<FileName>& inputs, double tolerance) {
    Provenance p;
    p.program = "zoneloads-view";
    p.version = ZONELOADS_VERSION;
    p.runDate = localDateText(std::time(nullptr));
    p.tolerance = tolerance;
    for (const FileName& input : inputs) {
        std::time_t written;
        p.inputs.push_back({input.text, lastWritten(input.path, written) ? localDateText(written) : ""});
    }
    return p;
}

std::vector<std::string> provenanceLines(const Provenance& p) {
    std::vector<std::string> lines = {"Programa: " + p.program + " " + p.version,
                                      "Fecha de la ejecuci\u00f3n: " + p.runDate};
    for (const InputFile& input : p.inputs) {
        std::string name = displayFileName(input.name);
        lines.push_back("Fichero le\u00eddo: " + name +
                        (input.modified.empty() ? " (fecha de modificaci\u00f3n desconocida)"
                                                : " (modificado el " + input.modified + ")"));
    }
    lines.push_back("Tolerancia de las consignas: " + shownWithUnit(Quantity::tolerance, p.tolerance));
    return lines;
}

}  // namespace view
}  // namespace zoneloads
