#include "dialogue/console.h"

#include "zonefile/zone_file.h"

namespace zoneloads {

bool askWord(std::istream& in, std::ostream& out, const char* prompt, std::string& word) {
    out << prompt << std::flush;
    return static_cast<bool>(in >> word);
}

void writeLine(std::ostream& out, const std::string& text) {
    out << text << std::endl;
}

bool openZoneFile(std::ostream& out, const std::string& fileName, int32& count) {
    switch (checkZoneFile(fileName, count)) {
        case ZoneFileState::usable:
            return true;
        case ZoneFileState::incomplete:
            writeLine(out, kIncompleteInput + fileName);
            return false;
        case ZoneFileState::unusable:
            break;
    }
    writeLine(out, kCannotOpenInput + fileName);
    return false;
}

}  // namespace zoneloads
