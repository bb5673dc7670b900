#include "view/output_checks.h"

#include <filesystem>
#include <system_error>

#include "common/platform.h"

namespace zoneloads {
namespace view {
namespace {

namespace fs = std::filesystem;

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// True when two outputs would be one file (a device, which any may be
// written to, aside): the same file by identity, or the same path.
bool sameOutput(const fs::path& one, const fs::path& other) {
    if (isDevice(one) || isDevice(other)) return false;
    if (sameFile(one, other)) return true;
    std::error_code error;
    fs::path a = fs::weakly_canonical(fs::absolute(one, error), error).lexically_normal();
    fs::path b = fs::weakly_canonical(fs::absolute(other, error), error).lexically_normal();
    return !error && a == b;
}

}  // namespace

bool checkOutputs(const std::vector<FileName>& reports, const std::vector<NamedOutput>& outputs, std::string& error) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const FileName& name = *outputs[i].name;
        for (const FileName& report : reports) {
            if (sameFile(name.path, report.path)) {
                error = name.text + ": es uno de los informes le\u00eddos";
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (sameOutput(name.path, outputs[j].name->path)) {
                error =
                    name.text + ": " + outputs[j].role + " y " + outputs[i].role + " no pueden ser el mismo fichero";
                return false;
            }
        }
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
