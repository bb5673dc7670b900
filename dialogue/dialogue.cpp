#include "dialogue/dialogue.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "common/number_format.h"
#include "dialogue/console.h"
#include "dialogue/select_zones.h"
#include "report/report.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

// Asks for a file name and echoes it as "<echo><name>", as given (without
// the quotes of a quoted answer).
bool askFileName(Answers& answers, std::ostream& out, const char* prompt, const char* echo, FileName& name) {
    std::string answer;
    if (!askName(answers, out, prompt, answer)) return false;
    name = answeredFile(answer);
    writeLine(out, echo + name.text);
    return true;
}

// True when the report would overwrite a file that the run reads: the zone
// results file, the zone-list file or the answers. Compared by identity, so
// another spelling or a link of the same file is caught too.
bool reportIsInput(const FileName& report, const FileName& input, const ZoneSelection& selection,
                   bool (*readsAnswersFrom)(const std::filesystem::path&)) {
    std::error_code error;  // a report that does not exist yet is no input
    if (std::filesystem::equivalent(report.path, input.path, error)) return true;
    if (!selection.listFile.empty() && std::filesystem::equivalent(report.path, selection.listFile, error)) {
        return true;
    }
    return readsAnswersFrom && readsAnswersFrom(report.path);
}

// One line per zone: "[n] Nombre zona: <name>". Only the names are read.
bool listZones(std::ostream& out, const ZoneFile& zones, const FileName& input) {
    for (int32 zone = 0; zone < zones.count; ++zone) {
        char name[kNameBytes];
        if (!readZoneName(zones, zone, name)) {
            writeLine(out, readFailedMessage(input.text));
            return false;
        }
        writeLine(out, "[" + int32Text(zone) + "] Nombre zona: " + zoneName(name));
    }
    return true;
}

}  // namespace

int runDialogue(std::istream& in, std::ostream& out, bool (*readsAnswersFrom)(const std::filesystem::path&),
                bool endAtCtrlZ) {
    Answers answers;
    answers.in = &in;
    answers.endAtCtrlZ = endAtCtrlZ;
    FileName input;
    FileName report;
    if (!askFileName(answers, out, "Nombre fichero entrada: ", "Fichero entrada = ", input) ||
        !askFileName(answers, out, "Nombre fichero salida: ", "Fichero salida = ", report)) {
        return kExitFailure;
    }

    // The zone results file is opened once, and read from that one opening
    // to the end of the run.
    ZoneFile zones;
    ZoneFileCheck check = openZoneFile(input.path, zones);
    if (check.fault != ZoneFileFault::none) {
        writeLine(out, zoneFileMessage(check, input.text));
        return kExitFailure;
    }
    writeLine(out, "n\xBA zonas SOVRA: " + int32Text(zones.count));
    if (!listZones(out, zones, input)) return kExitFailure;

    ZoneSelection selection;
    if (!selectZones(answers, out, zones, input.text, selection)) return kExitFailure;

    if (reportIsInput(report, input, selection, readsAnswersFrom)) {
        writeLine(out, kReportIsInput + report.text);
        return kExitFailure;
    }
    std::string error;
    if (!writeReport(zones, input.text, report, selection, error)) {
        writeLine(out, error);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace zoneloads
