// The zones a report covers, in report order: what the dialogue chooses and
// the report walks.
#pragma once

#include <filesystem>
#include <vector>

#include "common/types.h"

namespace zoneloads {

// One slot per zone of the zone results file. Slots after the last chosen
// zone hold -1; the report stops at the first negative slot. A zone may
// stand more than once.
struct ZoneSelection {
    std::vector<int32> slots;
    std::filesystem::path listFile;  // the zone-list file read, or empty for a typed zone
};

}  // namespace zoneloads
