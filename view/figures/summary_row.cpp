#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

SummaryRow zoneRow(const std::string& report, const std::string& zone, int block, const SectionFigures& figures,
                   int zoneNumber) {
    SummaryRow row;
    row.report = report;
    row.block = block;
    row.zoneNumber = block == 0 ? -1 : zoneNumber;
    row.zone = zone;
    row.figures = figures;
    return row;
}

SummaryRow buildingRow(const std::string& report, const SectionFigures& figures,
                       const std::vector<SummaryRow>& zoneRows) {
    SummaryRow building = zoneRow(report, "", 0, figures);
    int mostHours = 0;  // a block with no hour outside is no worst block
    for (const SummaryRow& row : zoneRows) {
        const SectionFigures& f = row.figures;
        building.zonePeaksQsRef += f.qsRef.value;
        building.zonePeaksQsCal += f.qsCal.value;
        building.zoneHoursAbove += f.hoursAbove;
        building.zoneHoursBelow += f.hoursBelow;
        int outside = f.hoursAbove + f.hoursBelow;
        if (outside > mostHours) {
            mostHours = outside;
            building.worstBlock = row.block;
            building.worstZoneNumber = row.zoneNumber;
            building.worstZone = row.zone;
            building.worst = f;
        }
    }
    return building;
}

const SectionFigures& temperatureFigures(const SummaryRow& row) { return isBuilding(row) ? row.worst : row.figures; }

std::string zoneNumberText(int zoneNumber, int block) {
    if (block == 0) return "TOTAL";
    return zoneNumber >= 0 ? std::to_string(zoneNumber) : "bloque " + std::to_string(block);
}

std::string zoneLabel(int zoneNumber, int block, const std::string& shownName) {
    if (block == 0) return "TOTAL";
    return zoneNumberText(zoneNumber, block) + " \u00b7 " + shownName;
}

std::string zoneLabel(const SummaryRow& row, const std::string& shownName) {
    return zoneLabel(row.zoneNumber, row.block, shownName);
}

}  // namespace view
}  // namespace zoneloads
