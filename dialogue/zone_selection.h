// The choice of the zones to report: one typed zone number, or a zone-list
// file of them.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "common/types.h"

namespace zoneloads {

// The zone numbers to report, in report order, one slot per zone of the file.
// Slots after the last chosen zone hold -1; the report stops at the first
// negative slot. A zone may stand more than once.
struct ZoneSelection {
    std::vector<int32> slots;
    std::string listFileName;  // the zone-list file read, or empty for a typed zone
};

// Takes the zone count afresh, asks for a zone number (or, for a negative
// answer, a zone-list file) and fills `selection`. Every chosen zone that the
// report will walk is below the zone count. On failure writes its message and
// returns false: the run must then end with a failing status.
bool selectZones(std::istream& in, std::ostream& out, const std::string& inputFileName,
                 ZoneSelection& selection);

}  // namespace zoneloads
