// zoneloads-view: reads reports written by zoneloads and shows each as a
// page of pictures and peaks, with a summary table on standard output.
//
//   zoneloads-view REPORT... [-o PAGE.html] [--csv TABLE.csv] [--csv-es TABLA.csv] [--xlsx BOOK.xlsx]
//                  [--comparar]
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/file_name.h"
#include "common/pipeline.h"
#include "common/platform.h"
#include "common/program.h"
#include "view/tables/console_table.h"
#include "view/viewer.h"

namespace {

using zoneloads::FileName;
using zoneloads::view::ViewerOptions;

const char kUsage[] =
    "uso: zoneloads-view INFORME... [-o PAGINA.html] [--csv TABLA.csv] [--csv-es TABLA.csv]\n"
    "                    [--xlsx LIBRO.xlsx] [--comparar]\n"
    "\n"
    "Lee uno o varios informes de zoneloads y escribe una pagina HTML con los\n"
    "picos, los mapas de Qs por dia y hora, las curvas de duracion y la energia\n"
    "mensual de cada zona y del edificio, y la tabla resumen en la salida.\n"
    "\n"
    "  -o PAGINA.html      la pagina (por omision, la del primer informe, con .html);\n"
    "                      /dev/null (NUL en Windows) para no escribirla\n"
    "  --csv TABLA.csv     la tabla resumen en CSV para programas (\",\" y punto decimal)\n"
    "  --csv-es TABLA.csv  la tabla resumen para una hoja de calculo en espanol\n"
    "                      (\";\", coma decimal, fechas completas)\n"
    "  --xlsx LIBRO.xlsx   un libro de Excel: resumen, energia mensual, cargas\n"
    "                      horarias de cada zona y del edificio, dias pico y graficos\n"
    "  --comparar          el primer informe es la base y los demas variantes: la\n"
    "                      pagina, el CSV y el libro dan sus diferencias por zona\n"
    "  -h, --help, /?      esta ayuda\n"
    "  --version           la version\n";

enum class Parsed { run, help, version, wrong };

// The options; `wrong` names what is wrong in `fault`.
Parsed parseOptions(const std::vector<std::filesystem::path>& arguments, ViewerOptions& o, std::string& fault) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        FileName arg = zoneloads::fileNameOfPath(arguments[i]);
        if (arg.text == "-h" || arg.text == "--help" || arg.text == "/?") return Parsed::help;
        if (arg.text == "--version") return Parsed::version;
        if (arg.text == "--comparar") {
            o.compare = true;
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
                fault = "falta el fichero tras " + arg.text + " (" + value.text + " no es un nombre de fichero)";
                return Parsed::wrong;
            }
            *output = value;
        } else if (arg.text.size() > 1 && arg.text[0] == '-') {
            fault = "opcion desconocida: " + arg.text;
            return Parsed::wrong;
        } else {
            o.reports.push_back(arg);
        }
    }
    if (o.reports.empty()) {
        fault = "falta el informe";
        return Parsed::wrong;
    }
    if (o.compare && o.reports.size() < 2) {
        fault = "--comparar necesita dos informes o mas: la base y las variantes";
        return Parsed::wrong;
    }
    if (o.page.text.empty())
        o.page = zoneloads::fileNameOfPath(std::filesystem::path(o.reports[0].path).replace_extension(".html"));
    return Parsed::run;
}

int run(int argc, char** argv) {
    zoneloads::reuseFreedMemory();
    ViewerOptions options;
    std::string fault;
    switch (parseOptions(zoneloads::commandLineArguments(argc, argv), options, fault)) {
        case Parsed::help: std::cout << kUsage << std::flush; return 0;
        case Parsed::version: std::cout << "zoneloads-view " ZONELOADS_VERSION "\n" << std::flush; return 0;
        case Parsed::wrong: std::cerr << "zoneloads-view: " << fault << "\n" << kUsage << std::flush; return 2;
        case Parsed::run: break;
    }
    std::vector<zoneloads::view::SummaryRow> rows;
    std::vector<std::string> warnings;
    std::string error;
    if (!zoneloads::view::writeViewerOutputs(options, zoneloads::kWorkerThreads, rows, error, &warnings)) {
        std::cerr << "zoneloads-view: " << error << "\n" << std::flush;
        return 1;
    }
    for (const std::string& warning : warnings) std::cerr << "zoneloads-view: aviso: " << warning << "\n";
    std::cerr << std::flush;
    errno = 0;
    std::cout << zoneloads::view::consoleTable(rows, zoneloads::standardOutputIsTerminal()) << std::flush;
    if (!std::cout) {
        int why = errno;
        std::cerr << "zoneloads-view: salida estandar: error al escribir la tabla ("
                  << zoneloads::errorReason(why != 0 ? why : EIO) << ")\n"
                  << std::flush;
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const zoneloads::Program program{"zoneloads-view", 1, false};
    return zoneloads::runProgram(program, run, argc, argv);
}
