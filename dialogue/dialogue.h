// The whole run at the console: file names, zone count and listing, zone
// selection, report.
#pragma once

#include <istream>
#include <ostream>

namespace zoneloads {

// Runs the dialogue on the given streams and returns the exit status:
// kExitSuccess after a complete report, kExitFailure after a message that
// ends the run.
int runDialogue(std::istream& in, std::ostream& out);

}  // namespace zoneloads
