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

// Asks for a file name and echoes it as "<echo><name>".
bool askFileName(std::istream& in, std::ostream& out, const char* prompt, const char* echo,
                 std::string& name, bool first) {
    if (!askName(in, out, prompt, name, first)) return false;
    writeLine(out, echo + name);
    return true;
}

// True when the report would overwrite a file that the run reads: the zone
// results file, the zone-list file or the answers. Compared by identity, so
// another spelling or a link of the same file is caught too.
bool reportIsInput(const std::string& reportFileName, const std::string& inputFileName,
                   const ZoneSelection& selection, bool (*readsAnswersFrom)(const std::filesystem::path&)) {
    std::error_code error;  // a report that does not exist yet is no input
    if (std::filesystem::equivalent(reportFileName, inputFileName, error)) return true;
    if (!selection.listFileName.empty() &&
        std::filesystem::equivalent(reportFileName, selection.listFileName, error)) {
        return true;
    }
    return readsAnswersFrom && readsAnswersFrom(reportFileName);
}

// One line per zone: "[n] Nombre zona: <name>". Only the names are read.
bool listZones(std::ostream& out, const std::string& inputFileName, int32 count) {
    for (int32 zone = 0; zone < count; ++zone) {
        char name[kNameBytes];
        if (!readZoneName(inputFileName, zone, name)) {
            writeLine(out, readFailedMessage(inputFileName));
            return false;
        }
        writeLine(out, "[" + int32Text(zone) + "] Nombre zona: " + zoneName(name));
    }
    return true;
}

}  // namespace

int runDialogue(std::istream& in, std::ostream& out, bool (*readsAnswersFrom)(const std::filesystem::path&)) {
    std::string inputFileName;
    std::string reportFileName;
    if (!askFileName(in, out, "Nombre fichero entrada: ", "Fichero entrada = ", inputFileName, true) ||
        !askFileName(in, out, "Nombre fichero salida: ", "Fichero salida = ", reportFileName, false)) {
        return kExitFailure;
    }

    int32 count;
    std::string error;
    if (!checkZoneFile(inputFileName, count, error)) {
        writeLine(out, error);
        return kExitFailure;
    }
    writeLine(out, "n\xBA zonas SOVRA: " + int32Text(count));
    if (!listZones(out, inputFileName, count)) return kExitFailure;

    ZoneSelection selection;
    if (!selectZones(in, out, inputFileName, selection)) return kExitFailure;

    if (reportIsInput(reportFileName, inputFileName, selection, readsAnswersFrom)) {
        writeLine(out, kReportIsInput + reportFileName);
        return kExitFailure;
    }
    if (!writeReport(inputFileName, reportFileName, selection, error)) {
        writeLine(out, error);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace zoneloads
