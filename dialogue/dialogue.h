// The whole run at the console: file names, zone count and listing, zone
// selection, report.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>

namespace zoneloads {

constexpr int kExitSuccess = 0;   // a complete report
constexpr int kExitFailure = -1;  // a message ended the run

// Runs the dialogue on the given streams and returns the exit status:
// kExitSuccess after a complete report, kExitFailure after a message that
// ends the run. `readsAnswersFrom`, when given, tells whether a path names
// the file or pipe that `in` reads, which the report must then not overwrite.
// `endAtCtrlZ`: answers read as bytes end at a byte 0x1A, as the Windows C
// library ends a pipe or file it reads as text, for a standard input that is
// read in binary instead (so that UTF-16 answers arrive whole).
int runDialogue(std::istream& in, std::ostream& out,
                bool (*readsAnswersFrom)(const std::filesystem::path& path) = nullptr, bool endAtCtrlZ = false);

}  // namespace zoneloads
