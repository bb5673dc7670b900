// zoneloads: lists the zones of a zone results file, lets the user choose
// some, and writes their hourly loads report. Takes no arguments: the whole
// run is a dialogue on standard input and output.
#include <iostream>

#include "common/platform.h"
#include "common/program.h"
#include "dialogue/dialogue.h"

namespace {

// Arguments are not read: the whole run is a dialogue.
int dialogue(int, char**) { return zoneloads::runDialogue(std::cin, std::cout, zoneloads::isStandardInput); }

}  // namespace

int main(int argc, char** argv) {
    const zoneloads::Program program{"zoneloads", zoneloads::kExitFailure, true};
    return zoneloads::runProgram(program, dialogue, argc, argv);
}
