// The checks of a run's outputs before anything is written: none may be a
// report being read, and no two may be one file.
#pragma once

#include <string>
#include <vector>

#include "common/file_name.h"

namespace zoneloads {
namespace view {

// True when the outputs (the page first, then the others asked for) may be
// written; false, with the message in `error`, when one would overwrite a
// report being read or another output. A device (which any may be written
// to) is never the same output as another.
bool checkOutputs(const std::vector<FileName>& reports, const std::vector<const FileName*>& outputs,
                  std::string& error);

}  // namespace view
}  // namespace zoneloads
