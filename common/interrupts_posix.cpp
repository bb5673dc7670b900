// The interrupts on POSIX systems: SIGINT, SIGTERM and SIGHUP remove the
// registered files, then end the process as the signal would have. CMake
// builds this file everywhere but on Windows.
#include "common/platform.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "common/interrupts.h"

namespace zoneloads {
namespace {

void removeRegistered(int signalNumber) {
    removeRegisteredFiles();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// The interrupts whose handler removes the registered files.
sigset_t interruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signalNumber);
    return set;
}

}  // namespace

// Installs the handler once, for each signal that is not ignored: a run
// started to ignore one (nohup, a background job) keeps ignoring it.
void watchInterrupts() {
    static const bool installed = [] {
        for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction old;
            if (sigaction(signalNumber, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
            struct sigaction action;
            std::memset(&action, 0, sizeof action);
            action.sa_handler = removeRegistered;
            sigemptyset(&action.sa_mask);
            sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

void removeFileNow(const char* path) { unlink(path); }

// Blocked on the thread that holds them: the workers take no signal (they
// start with the signals blocked, see startWorkers), so a signal waits for
// this thread to unblock it.
void holdOffInterruptsHere() {
    sigset_t set = interruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void allowInterruptsHere() {
    sigset_t set = interruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace zoneloads
