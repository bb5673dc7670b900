#include "common/program.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <system_error>

#include "common/platform.h"

namespace zoneloads {
namespace {

// The cause of the exception being handled, in the words of the other
// messages; nothing is allocated, as memory may be what ran out.
const char* escapeCause() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "sin memoria";
    } catch (const std::system_error& e) {
        // Threads that cannot be started say so with EAGAIN.
        if (e.code() == std::errc::resource_unavailable_try_again) return "no se pueden crear m\u00e1s hilos";
        if (e.code() == std::errc::not_enough_memory) return "sin memoria";
        return "error del sistema";
    } catch (...) {
        return "error interno";
    }
}

}  // namespace

int runProgram(const Program& program, int (*body)(int argc, char** argv), int argc, char** argv) {
    holdClosedStandardStreams();
    ignoreWriteSignals();
    watchInterrupts();
    useConsoleCharacters();
    int status;
    try {
        status = body(argc, argv);
    } catch (...) {
        removeRegisteredFiles();
        const char* cause = escapeCause();
        std::ostream& out = program.messagesOnStandardOutput ? std::cout : std::cerr;
        if (program.messagesOnStandardOutput) {
            if (std::strncmp(cause, "error ", 6) == 0) cause += 6;  // "# Error interno", not "# Error error interno"
            out << "# Error " << cause << std::endl;
        } else {
            out << program.name << ": " << cause << std::endl;
        }
        status = program.failureStatus;
    }
    pauseIfOwnConsole();
    return status;
}

}  // namespace zoneloads
