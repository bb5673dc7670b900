// zoneloads-view: reads reports written by zoneloads and shows each as a
// page of pictures and peaks, with a summary table on standard output.
//
//   zoneloads-view REPORT... [-o PAGE.html] [--csv TABLE.csv]
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/pipeline.h"
#include "view/summary_table.h"
#include "view/viewer.h"

namespace {

using zoneloads::view::ViewerOptions;

int usage() {
    std::cerr << "uso: zoneloads-view INFORME... [-o PAGINA.html] [--csv TABLA.csv]\n";
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
    std::cout << zoneloads::view::textTable(rows);
    return 0;
}
