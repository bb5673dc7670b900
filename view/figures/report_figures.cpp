#include "view/figures/report_figures.h"

namespace zoneloads {
namespace view {

bool appendZoneQs(ZoneQsFile& file, const std::vector<double>& qs) {
    if (!writeOutput(file.scratch, qs.data(), qs.size() * sizeof(double))) return false;
    ++file.blocks;
    return true;
}

}  // namespace view
}  // namespace zoneloads
