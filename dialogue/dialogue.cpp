#include "dialogue/dialogue.h"

#include <memory>
#include <string>

#include "common/number_format.h"
#include "dialogue/console.h"
#include "dialogue/zone_selection.h"
#include "report/report.h"
#include "zonefile/zone_file.h"

namespace zoneloads {
namespace {

// Asks for a file name and echoes it as "<echo><name>".
bool askFileName(std::istream& in, std::ostream& out, const char* prompt, const char* echo,
                 std::string& name) {
    if (!askWord(in, out, prompt, name)) {
        writeLine(out, kBadAnswer);
        return false;
    }
    writeLine(out, echo + name);
    return true;
}

// One line per zone: "[n] Nombre zona: <name>". Only the names are read.
bool listZones(std::ostream& out, const std::string& inputFileName, int32 count) {
    for (int32 zone = 0; zone < count; ++zone) {
        char name[kNameBytes];
        if (!readZoneName(inputFileName, zone, name)) {
            writeLine(out, kCannotReadInput + inputFileName);
            return false;
        }
        writeLine(out, "[" + int32Text(zone) + "] Nombre zona: " + zoneName(name));
    }
    return true;
}

// The console message for a report that did not complete, or nullptr.
const char* reportFailureMessage(ReportResult result) {
    switch (result) {
        case ReportResult::complete: return nullptr;
        case ReportResult::cannotOpen: return kCannotOpenReport;
        case ReportResult::writeFailed: return kCannotWriteReport;
        case ReportResult::readFailed: return kCannotReadInput;
    }
    return nullptr;
}

}  // namespace

int runDialogue(std::istream& in, std::ostream& out) {
    std::string inputFileName;
    std::string reportFileName;
    if (!askFileName(in, out, "Nombre fichero entrada: ", "Fichero entrada = ", inputFileName) ||
        !askFileName(in, out, "Nombre fichero salida: ", "Fichero salida = ", reportFileName)) {
        return kExitFailure;
    }

    int32 count;
    if (!openZoneFile(out, inputFileName, count)) return kExitFailure;
    writeLine(out, "n\xBA zonas SOVRA: " + int32Text(count));
    if (!listZones(out, inputFileName, count)) return kExitFailure;

    ZoneSelection selection;
    if (!selectZones(in, out, inputFileName, selection)) return kExitFailure;

    // One record buffer for the whole report, on the heap: it is 286 kB.
    auto buffer = std::make_unique<ZoneRecord>();
    ReportResult result = writeReport(inputFileName, reportFileName, selection, *buffer);
    if (const char* message = reportFailureMessage(result)) {
        const std::string& fileName = result == ReportResult::readFailed ? inputFileName : reportFileName;
        writeLine(out, message + fileName);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace zoneloads
