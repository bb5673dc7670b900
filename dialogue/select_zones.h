// The choice of the zones to report: one typed zone number, or a zone-list
// file of them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "common/file_name.h"
#include "common/types.h"
#include "common/zone_selection.h"
#include "dialogue/console.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

// Takes the zone count afresh from the open zone results file (named
// `inputName` in messages), asks for a zone number (or, for a negative
// answer, a zone-list file) and fills `selection`. Every chosen zone that the
// report will walk is below the zone count. On failure writes its message and
// returns false: the run must then end with a failing status.
bool selectZones(Answers& answers, std::ostream& out, ZoneFile& zones, const std::string& inputName,
                 ZoneSelection& selection);

}  // namespace zoneloads
