// zoneloads-view: reads reports written by zoneloads and shows each as a
// page of pictures and peaks, with a summary table on standard output.
//
//   zoneloads-view REPORT... [-o PAGE.html] [--csv TABLE.csv]
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/pipeline.h"
#include "common/platform.h"
#include "view/summary_table.h"
#include "view/viewer.h"

namespace {

using zoneloads::view::ViewerOptions;

const char kUsage[] =
    "uso: zoneloads-view INFORME... [-o PAGINA.html] [--csv TABLA.csv]\n"
    "  -o PAGINA.html  la pagina (por omision, el primer informe con .html);\n"
    "                  /dev/null (NUL en Windows) para no escribirla\n"
    "  --csv TABLA.csv la tabla resumen en CSV\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

bool parseOptions(int argc, char** argv, ViewerOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "-o" || arg == "--csv") && i + 1 < argc) {
            (arg == "-o" ? o.page : o.csv) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            o.reports.push_back(arg);
        }
    }
    if (o.reports.empty()) return false;
    if (o.page.empty()) o.page = std::filesystem::path(o.reports[0]).replace_extension(".html").string();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ViewerOptions options;
    if (!parseOptions(argc, argv, options)) return usage();
    std::vector<zoneloads::view::SummaryRow> rows;
    std::string error;
    if (!zoneloads::view::writeViewerOutputs(options, zoneloads::kWorkerThreads, rows, error)) {
        std::cerr << "zoneloads-view: " << error << "\n";
        return 1;
    }
    errno = 0;
    std::cout << zoneloads::view::textTable(rows, zoneloads::standardOutputIsTerminal()) << std::flush;
    if (!std::cout) {
        int why = errno;
        std::cerr << "zoneloads-view: salida estandar: error al escribir la tabla ("
                  << zoneloads::errorReason(why != 0 ? why : EIO) << ")\n";
        return 1;
    }
    return 0;
}
