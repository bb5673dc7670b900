#include "dialogue/select_zones.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

#include "common/number_format.h"
#include "common/platform.h"
#include "dialogue/console.h"
#include "dialogue/zone_list.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

// Reads the zones from a zone-list file into every slot of `selection`.
bool readZoneListFile(Answers& answers, std::ostream& out, int32 count, ZoneSelection& selection) {
    std::string answer;
    if (!askName(answers, out, "Indica fichero de zonas [50 caracteres max] :", answer)) return false;
    FileName listFile = answeredFile(answer);
    std::error_code error;
    // A folder opens for reading on some systems, but it holds no list.
    std::FILE* file = std::filesystem::is_directory(listFile.path, error) ? nullptr : openForReading(listFile.path);
    if (!file) {
        writeLine(out, kCannotOpenList + listFile.text);
        return false;
    }
    selection.listFile = listFile.path;
    ListInput list;
    list.file = file;
    std::string offending;
    ListScan scan = scanZoneList(list, count, selection.slots, offending);
    std::fclose(file);
    switch (scan) {
        case ListScan::ok: return true;
        case ListScan::outOfRange: writeLine(out, kZoneOutOfRange + offending); return false;
        case ListScan::badToken:
        case ListScan::readError: break;
    }
    writeLine(out, kBadList + listFile.text);
    return false;
}

// The typed zone number: one whole answer (quoted or not: "2" is 2) of an
// optional sign and decimal digits, within the int32 range ("010" is ten).
// Anything else ("2,1", "0x1F", "1.5", "1e2", "2abc") is no answer, rather
// than a part of one.
bool parseZoneNumber(const std::string& word, int32& number) {
    std::size_t i = (word[0] == '+' || word[0] == '-') ? 1 : 0;
    if (i == word.size()) return false;
    bool negative = word[0] == '-';
    std::int64_t magnitude = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        magnitude = magnitude * 10 + (word[i] - '0');
        if (magnitude > (std::int64_t{1} << 31)) return false;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32>::max()) return false;
    number = static_cast<int32>(value);
    return true;
}

}  // namespace

bool selectZones(Answers& answers, std::ostream& out, ZoneFile& zones, const std::string& inputName,
                 ZoneSelection& selection) {
    ZoneFileCheck check = checkZoneFileAgain(zones);  // the file may have changed since the listing
    if (check.fault != ZoneFileFault::none) {
        writeLine(out, zoneFileMessage(check, inputName));
        return false;
    }
    const int32 count = zones.count;
    selection.slots.assign(static_cast<std::size_t>(count), -1);

    std::string prompt =
        "Indica numero de la zona ( de 0 a " + int32Text(count - 1) + ") (-1 si desea introducir ua zona):";
    std::string answer;
    int32 choice;
    if (!askWord(answers, out, prompt.c_str(), answer) || !parseZoneNumber(answer, choice)) {
        writeLine(out, kBadAnswer);
        return false;
    }
    if (choice < 0) return readZoneListFile(answers, out, count, selection);
    if (choice >= count) {
        writeLine(out, kZoneOutOfRange + int32Text(choice));
        return false;
    }
    selection.slots[0] = choice;
    return true;
}

}  // namespace zoneloads
