// zoneloads: lists the zones of a zone results file, lets the user choose
// some, and writes their hourly loads report. Takes no arguments: the whole
// run is a dialogue on standard input and output.
#include <iostream>

#include "common/platform.h"
#include "dialogue/dialogue.h"

int main(int argc, char** argv) {
    zoneloads::ignoreWriteSignals();
    // Arguments are not read: the whole run is a dialogue.
    return zoneloads::runProgram(
        [](int, char**) { return zoneloads::runDialogue(std::cin, std::cout, zoneloads::isStandardInput); }, argc,
        argv);
}
