// The interrupt handling both systems share (platform.h): the files an
// interrupt removes and the steps that hold it off. The handler itself is
// the system's (interrupts_posix.cpp, interrupts_windows.cpp).
#include "common/platform.h"

#include <atomic>
#include <cstring>

#include "common/interrupts.h"

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

// Paths to remove on an interrupt, in storage of their own: the handler reads
// them at any moment, on any thread, so nothing here is ever freed or moved.
constexpr int kInterruptSlots = 8;
constexpr std::size_t kInterruptPathUnits = 4096;
std::atomic<bool> slotTaken[kInterruptSlots];
std::atomic<bool> slotArmed[kInterruptSlots];
fs::path::value_type interruptPaths[kInterruptSlots][kInterruptPathUnits];
// How many InterruptsHeld live; an interrupt waits while any does.
std::atomic<int> interruptsHeld{0};

}  // namespace

bool interruptsAreHeld() { return interruptsHeld > 0; }

InterruptsHeld::InterruptsHeld() {
    if (interruptsHeld++ == 0) holdOffInterruptsHere();
}

InterruptsHeld::~InterruptsHeld() {
    if (--interruptsHeld == 0) allowInterruptsHere();
}

void removeRegisteredFiles() {
    for (int i = 0; i < kInterruptSlots; ++i) {
        if (slotArmed[i]) removeFileNow(interruptPaths[i]);
    }
}

int removeOnInterrupt(const fs::path& path) {
    const fs::path::string_type& units = path.native();
    if (units.size() >= kInterruptPathUnits) return -1;
    watchInterrupts();
    for (int i = 0; i < kInterruptSlots; ++i) {
        bool expected = false;
        if (!slotTaken[i].compare_exchange_strong(expected, true)) continue;
        std::memcpy(interruptPaths[i], units.c_str(), (units.size() + 1) * sizeof(fs::path::value_type));
        slotArmed[i] = true;
        return i;
    }
    return -1;
}

void forgetOnInterrupt(int registration) {
    if (registration < 0) return;
    slotArmed[registration] = false;
    slotTaken[registration] = false;
}

}  // namespace zoneloads
