// zoneloads: lists the zones of a zone results file, lets the user choose
// some, and writes their hourly loads report. Takes no arguments: the whole
// run is a dialogue on standard input and output.
#include <iostream>

#include "common/platform.h"
#include "common/program.h"
#include "dialogue/dialogue.h"

namespace {

// Arguments are not read: the whole run is a dialogue. A file dropped on the
// program comes as one: told on standard error, so that the console's
// dialogue stays as it is.
int dialogue(int argc, char**) {
    if (argc > 1) std::cerr << "zoneloads: no admite argumentos (se ignoran); responda a las preguntas" << std::endl;
    // Read as text, answers piped or redirected in UTF-16 would end at any
    // byte 0x1A (as in U+041A or U+4E1A); read as bytes, the dialogue ends
    // byte answers at a Ctrl-Z itself, as text reading did.
    bool endAtCtrlZ = zoneloads::readStandardInputAsBytes();
    return zoneloads::runDialogue(std::cin, std::cout, zoneloads::isStandardInput, endAtCtrlZ);
}

}  // namespace

int main(int argc, char** argv) {
    const zoneloads::Program program{"zoneloads", zoneloads::kExitFailure, true};
    return zoneloads::runProgram(program, dialogue, argc, argv);
}
