#include "common/random_word.h"

#include <chrono>
#include <random>

namespace zoneloads {

// Seeded by the system's random device and the clock: a device that gives
// the same numbers every run (some MinGW versions) still gives a new word.
unsigned long long randomWord() {
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return random() & 0xFFFFFFFFull;
}

}  // namespace zoneloads
