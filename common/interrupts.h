// What the two halves of the interrupt handling ask of each other: the half
// both systems share (interrupts.cpp: the files to remove, the count of
// InterruptsHeld) and the system's own (interrupts_posix.cpp,
// interrupts_windows.cpp: the handler, how a thread holds interrupts off).
// The programs use platform.h, never this.
#pragma once

#include <filesystem>

namespace zoneloads {

// Removes the file `path` names now; safe in a signal handler. (The system's half.)
void removeFileNow(const std::filesystem::path::value_type* path);

// Keeps interrupts from the calling thread until allowInterruptsHere: on
// POSIX the signals are blocked there; on Windows nothing, its handler waits
// instead while interruptsAreHeld. (The system's half.)
void holdOffInterruptsHere();
void allowInterruptsHere();

// True while an InterruptsHeld lives. (The shared half.)
bool interruptsAreHeld();

}  // namespace zoneloads
