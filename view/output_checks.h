// The checks of a run's outputs before anything is written: none may be a
// report being read, and no two may be one file.
#pragma once

#include <string>
#include <vector>

#include "common/file_name.h"

namespace zoneloads {
namespace view {

// An output asked for and what it is, in the words of the messages ("la
// pagina", "el CSV" ...).
struct NamedOutput {
    const FileName* name;
    const char* role;
};

// True when the outputs (the page first, then the others asked for) may be
// written; false, with the message in `error`, when one would overwrite a
// report being read or another output ("t.csv: la pagina y el CSV no pueden
// ser el mismo fichero"). A device (which any may be written to) is never
// the same output as another.
bool checkOutputs(const std::vector<FileName>& reports, const std::vector<NamedOutput>& outputs, std::string& error);

}  // namespace view
}  // namespace zoneloads
