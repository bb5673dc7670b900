#include "view/output_checks.h"

#include <filesystem>
#include <system_error>

#include "common/output_file.h"
#include "common/platform.h"
#include "common/text_encoding.h"

namespace zoneloads {
namespace view {
namespace {

namespace fs = std::filesystem;

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// The file an output writes, as an absolute normal path: links followed,
// even to a file not made yet.
fs::path writtenPath(const fs::path& output, std::error_code& error) {
    return fs::weakly_canonical(fs::absolute(followLinks(output), error), error).lexically_normal();
}

// True when two outputs would be one file (a device, which any may be
// written to, aside): the same file by identity, or the same file written
// by their paths, compared as the system compares names.
bool sameOutput(const fs::path& one, const fs::path& other) {
    if (isDevice(one) || isDevice(other)) return false;
    if (sameFile(one, other)) return true;
    std::error_code error;
    fs::path a = writtenPath(one, error);
    fs::path b = writtenPath(other, error);
    return !error && sameFileName(a, b);
}

}  // namespace

bool checkOutputs(const std::vector<FileName>& reports, const std::vector<NamedOutput>& outputs, std::string& error) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const FileName& name = *outputs[i].name;
        for (const FileName& report : reports) {
            if (sameFile(name.path, report.path)) {
                error = displayFileName(name.text) + ": es uno de los informes le\u00eddos";
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (sameOutput(name.path, outputs[j].name->path)) {
                error = displayFileName(name.text) + ": " + outputs[j].role + " y " + outputs[i].role +
                        " no pueden ser el mismo fichero";
                return false;
            }
        }
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
