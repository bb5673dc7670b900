// zoneloads-view: reads reports written by zoneloads, or zone results files
// as the reports of all their zones, and shows each as a page of pictures and
// peaks, with a summary table on standard output.
//
//   zoneloads-view FILE... [-o PAGE.html] [--csv TABLE.csv] [--csv-es TABLA.csv] [--xlsx BOOK.xlsx]
//                  [--comparar]
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/file_name.h"
#include "common/pipeline.h"
#include "common/platform.h"
#include "common/program.h"
#include "common/text_encoding.h"
#include "view/tables/console_table.h"
#include "view/viewer.h"

namespace {

using zoneloads::FileName;
using zoneloads::view::ViewerOptions;

const char kUsage[] =
    "uso: zoneloads-view FICHERO... [-o P\u00c1GINA.html] [--csv TABLA.csv] [--csv-es TABLA.csv]\n"
    "                    [--xlsx LIBRO.xlsx] [--comparar] [--tolerancia K] [--tabla-completa]\n"
    "\n"
    "Lee uno o varios informes de zoneloads o ficheros de resultados de zonas (cada\n"
    "uno, como el informe de todas sus zonas) y escribe una p\u00e1gina HTML con las\n"
    "puntas, los mapas de Qs por d\u00eda y hora, las curvas de duraci\u00f3n y la energ\u00eda\n"
    "mensual de cada zona y del edificio, y la tabla resumen en la salida. Soltado\n"
    "sobre el programa en Windows, escribe tambi\u00e9n el libro (NOMBRE.xlsx).\n"
    "\n"
    "  -o P\u00c1GINA.html      la p\u00e1gina (por omisi\u00f3n, la del primer fichero, con .html);\n"
    "                      /dev/null (NUL en Windows) para no escribirla\n"
    "  --csv TABLA.csv     la tabla resumen en CSV para programas (\",\" y punto decimal)\n"
    "  --csv-es TABLA.csv  la tabla resumen para una hoja de c\u00e1lculo en espa\u00f1ol\n"
    "                      (\";\", coma decimal, fechas completas)\n"
    "  --xlsx LIBRO.xlsx   un libro de Excel: resumen, energ\u00eda mensual, cargas\n"
    "                      horarias de cada zona y del edificio, d\u00edas punta y gr\u00e1ficos\n"
    "  --comparar          el primer fichero es la base y los dem\u00e1s variantes: la\n"
    "                      p\u00e1gina, el CSV y el libro dan sus diferencias por zona\n"
    "  --tolerancia K      kelvin que Treal puede pasar de Tmax o Tmin antes de que\n"
    "                      la hora cuente fuera de consigna (por omisi\u00f3n 0,2)\n"
    "  --tabla-completa    todas las columnas en la tabla de la salida (por omisi\u00f3n,\n"
    "                      las que caben en una ventana de 120 columnas)\n"
    "  -h, --help, /?      esta ayuda\n"
    "  --version           la versi\u00f3n\n";

// What the command line asks for.
struct CommandLine {
    ViewerOptions viewer;
    bool fullTable = false;  // every column in the console's table
};

// The tolerance's value: a number of kelvin from 0 to 100, with a decimal
// point or a decimal comma ("0,5", as Spanish users type it); -0 is 0.
// False for anything else.
bool parseTolerance(std::string text, double& value) {
    if (text.find(',') == text.rfind(',') && text.find('.') == std::string::npos) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end) + 0.0;  // + 0.0: -0 becomes 0
    return !text.empty() && *end == '\0' && value >= 0 && value <= 100;
}

enum class Parsed { run, help, version, wrong };

// The first input's name with another extension: where its outputs go by
// default.
FileName besideFirst(const std::vector<FileName>& inputs, const char* extension) {
    return zoneloads::fileNameOfPath(std::filesystem::path(inputs[0].path).replace_extension(extension));
}

// The options; `wrong` names what is wrong in `fault`.
Parsed parseOptions(const std::vector<std::filesystem::path>& arguments, CommandLine& line, std::string& fault) {
    ViewerOptions& o = line.viewer;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        FileName arg = zoneloads::fileNameOfPath(arguments[i]);
        if (arg.text == "-h" || arg.text == "--help" || arg.text == "/?") return Parsed::help;
        if (arg.text == "--version") return Parsed::version;
        if (arg.text == "--comparar" || arg.text == "--tabla-completa") {
            (arg.text == "--comparar" ? o.compare : line.fullTable) = true;
            continue;
        }
        if (arg.text == "--tolerancia") {
            if (i + 1 == arguments.size() || !parseTolerance(zoneloads::textOfPath(arguments[i + 1]), o.tolerance)) {
                fault = "se esperaba un n\u00famero de kelvin de 0 a 100 tras --tolerancia";
                return Parsed::wrong;
            }
            ++i;
            continue;
        }
        FileName* output = arg.text == "-o"         ? &o.page
                           : arg.text == "--csv"    ? &o.csv
                           : arg.text == "--csv-es" ? &o.csvEs
                           : arg.text == "--xlsx"   ? &o.xlsx
                                                    : nullptr;
        if (output) {
            if (i + 1 == arguments.size()) {
                fault = "falta el fichero tras " + arg.text;
                return Parsed::wrong;
            }
            FileName value = zoneloads::fileNameOfPath(arguments[++i]);
            if (!value.text.empty() && value.text[0] == '-') {  // an option, or a name no one means to write
                fault = "falta el fichero tras " + arg.text + " (" + zoneloads::displayFileName(value.text) +
                        " no es un nombre de fichero)";
                return Parsed::wrong;
            }
            *output = value;
        } else if (arg.text.size() > 1 && arg.text[0] == '-') {
            fault = "opci\u00f3n desconocida: " + zoneloads::displayFileName(arg.text);
            return Parsed::wrong;
        } else {
            o.reports.push_back(arg);
        }
    }
    if (o.reports.empty()) {
        fault = "falta el informe o el fichero de resultados de zonas";
        return Parsed::wrong;
    }
    if (o.compare && o.reports.size() < 2) {
        fault = "--comparar necesita dos ficheros o m\u00e1s: la base y las variantes";
        return Parsed::wrong;
    }
    // Dropped on the program (its window its own), no option can be given:
    // the workbook comes beside the page, as the page beside the file.
    const bool noOutputNamed = o.page.text.empty() && o.csv.text.empty() && o.csvEs.text.empty() && o.xlsx.text.empty();
    if (noOutputNamed && zoneloads::consoleIsOwnWindow()) o.xlsx = besideFirst(o.reports, ".xlsx");
    if (o.page.text.empty()) o.page = besideFirst(o.reports, ".html");
    return Parsed::run;
}

int run(int argc, char** argv) {
    zoneloads::reuseFreedMemory();
    CommandLine line;
    std::string fault;
    switch (parseOptions(zoneloads::commandLineArguments(argc, argv), line, fault)) {
        case Parsed::help: std::cout << kUsage << std::flush; return 0;
        case Parsed::version: std::cout << "zoneloads-view " ZONELOADS_VERSION "\n" << std::flush; return 0;
        case Parsed::wrong: std::cerr << "zoneloads-view: " << fault << "\n" << kUsage << std::flush; return 2;
        case Parsed::run: break;
    }
    line.viewer.provenance = zoneloads::view::describeRun(line.viewer.reports, line.viewer.tolerance);
    std::vector<zoneloads::view::SummaryRow> rows;
    std::vector<std::string> warnings;
    std::string error;
    // The table is one of the run's outputs: when it cannot be written, no
    // file is replaced either.
    auto printTable = [&line](const std::vector<zoneloads::view::SummaryRow>& shown, std::string& why) {
        errno = 0;
        std::cout << zoneloads::view::consoleTable(shown, zoneloads::standardOutputIsTerminal(), line.fullTable)
                  << std::flush;
        if (std::cout && !zoneloads::standardOutputWasClosed()) return true;
        int cause = zoneloads::standardOutputWasClosed() ? EBADF : errno;
        why = "salida est\u00e1ndar: error al escribir la tabla (" + zoneloads::errorReason(cause != 0 ? cause : EIO) +
              ")";
        return false;
    };
    if (!zoneloads::view::writeViewerOutputs(line.viewer, zoneloads::kWorkerThreads, rows, error, &warnings,
                                             printTable)) {
        std::cerr << "zoneloads-view: " << error << "\n" << std::flush;
        return 1;
    }
    for (const std::string& warning : warnings) std::cerr << "zoneloads-view: aviso: " << warning << "\n";
    std::cerr << std::flush;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const zoneloads::Program program{"zoneloads-view", 1, false};
    return zoneloads::runProgram(program, run, argc, argv);
}
