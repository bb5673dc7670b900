// The interrupts on Windows: Ctrl-C, Ctrl-Break, closing the console, logging
// off and shutting down remove the registered files before the process
// ends. CMake builds this file for Windows only.
#include "common/platform.h"

#include <windows.h>

#include "common/interrupts.h"

namespace zoneloads {
namespace {

// Runs on a thread of its own: a step that holds interrupts finishes first.
BOOL WINAPI removeOnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
        event == CTRL_SHUTDOWN_EVENT) {
        for (int waited = 0; interruptsAreHeld() && waited < 5000; ++waited) Sleep(1);
        // The files were opened sharing deletion: they go when the process
        // ends, which the next handler makes it do.
        removeRegisteredFiles();
    }
    return FALSE;
}

}  // namespace

void watchInterrupts() {
    static const bool installed = SetConsoleCtrlHandler(removeOnConsoleEvent, TRUE) != 0;
    (void)installed;
}

void removeFileNow(const wchar_t* path) { DeleteFileW(path); }

// The handler runs on a thread of its own, which waits: nothing to block here.
void holdOffInterruptsHere() {}

void allowInterruptsHere() {}

}  // namespace zoneloads
