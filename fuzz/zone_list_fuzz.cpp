// Fuzz target: the zone-list scanner on arbitrary bytes. The first byte sets
// the zone count (0 to 15); the rest is the zone-list file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogue/zone_list.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    int zones = data[0] % 16;
    zoneloads::ListInput in = zoneloads::listFromText(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    std::vector<zoneloads::int32> slots(static_cast<std::size_t>(zones), 7);
    std::string offending;
    zoneloads::ListScan result = zoneloads::scanZoneList(in, zones, slots, offending);

    if (slots.size() != static_cast<std::size_t>(zones)) __builtin_trap();
    if (result == zoneloads::ListScan::ok) {
        // Every zone the report would walk has a record.
        for (zoneloads::int32 zone : slots) {
            if (zone < 0) break;
            if (zone >= zones) __builtin_trap();
        }
    }
    if (result == zoneloads::ListScan::outOfRange && offending.empty()) __builtin_trap();
    return 0;
}
