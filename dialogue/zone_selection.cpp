#include "dialogue/zone_selection.h"

#include <fstream>

#include "common/number_format.h"
#include "dialogue/console.h"
#include "dialogue/zone_list.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

// Reads the zones from a zone-list file into every slot of `selection`.
bool readZoneListFile(std::istream& in, std::ostream& out, int32 count, ZoneSelection& selection) {
    std::string listName;
    if (!askWord(in, out, "Indica fichero de zonas [50 caracteres max] :", listName)) {
        writeLine(out, kBadAnswer);
        return false;
    }
    std::ifstream list(listName);
    if (!list) {
        writeLine(out, kCannotOpenList + listName);
        return false;
    }
    std::string offending;
    switch (scanZoneList(list, count, selection.slots, offending)) {
        case ListScan::ok:
            return true;
        case ListScan::outOfRange:
            writeLine(out, kZoneOutOfRange + offending);
            return false;
        case ListScan::badToken:
            break;
    }
    writeLine(out, kBadList + listName);
    return false;
}

}  // namespace

bool selectZones(std::istream& in, std::ostream& out, const std::string& inputFileName,
                 ZoneSelection& selection) {
    int32 count;
    if (!openZoneFile(out, inputFileName, count)) return false;
    selection.slots.assign(static_cast<std::size_t>(count), -1);

    out << "Indica numero de la zona ( de 0 a " << int32Text(count - 1)
        << ") (-1 si desea introducir ua zona):" << std::flush;
    // Read as the stream reads an int: decimal only, and failing on no digits
    // or a number beyond the int32 range.
    int32 choice;
    if (!(in >> choice)) {
        writeLine(out, kBadAnswer);
        return false;
    }
    if (choice < 0) return readZoneListFile(in, out, count, selection);
    if (choice >= count) {
        writeLine(out, kZoneOutOfRange + int32Text(choice));
        return false;
    }
    selection.slots[0] = choice;
    return true;
}

}  // namespace zoneloads
