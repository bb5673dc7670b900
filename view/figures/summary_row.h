// A row of the summary: the figures of one zone block, or of the building
// (a report's totals section) with what it takes from its zone blocks; and
// the label that names a zone block in every output.
#pragma once

#include <string>
#include <vector>

#include "view/figures/section_figures.h"

namespace zoneloads {
namespace view {

struct SummaryRow {
    std::string report;   // the report's name as given
    int block = 0;        // the zone block's 1-based position in its report; 0 for the building
    int zoneNumber = -1;  // the zone's 0-based number as zoneloads lists it, from a zone results file; -1 from a
                          // report, which holds none, and for the building
    std::string zone;     // the zone's name, its report bytes; empty for the building
    SectionFigures figures;
    // The building only: the sums of its zone blocks' own peaks, QsREF and
    // QsCAL (their non-coincident peak), and their hours outside the set
    // points added up (zone-hours).
    double zonePeaksQsRef = 0;
    double zonePeaksQsCal = 0;
    int zoneHoursAbove = 0;
    int zoneHoursBelow = 0;
    // The building only: the zone block with most hours outside its set
    // points (0 for none; the first of equals), its name and its figures.
    int worstBlock = 0;
    int worstZoneNumber = -1;  // its zoneNumber
    std::string worstZone;
    SectionFigures worst;
};

// True for the building's row.
inline bool isBuilding(const SummaryRow& row) { return row.block == 0; }

// The row of zone block `block` of the report `report`, the zone numbered
// `zoneNumber` in its zone results file (-1: not known, a report's block).
SummaryRow zoneRow(const std::string& report, const std::string& zone, int block, const SectionFigures& figures,
                   int zoneNumber = -1);

// The building's row of the report `report`, with what it takes from the
// report's zone rows.
SummaryRow buildingRow(const std::string& report, const SectionFigures& figures,
                       const std::vector<SummaryRow>& zoneRows);

// The figures whose hours outside the set points a row shows: a zone
// block's own, the building's worst zone block's.
const SectionFigures& temperatureFigures(const SummaryRow& row);

// The number that names a zone block wherever it is shown: its zone's number
// as zoneloads lists it ("3") when it came from a zone results file, else its
// block number in its report ("bloque 4"); "TOTAL" for the building
// (block 0).
std::string zoneNumberText(int zoneNumber, int block);

// A zone block as every output names it: zoneNumberText, a middle dot, and
// its name as that output shows it (`shownName`, UTF-8): "3 \u00b7 P00 Z03
// Aseo", "bloque 4 \u00b7 P00 Z03 Aseo"; "TOTAL" for the building.
std::string zoneLabel(int zoneNumber, int block, const std::string& shownName);
std::string zoneLabel(const SummaryRow& row, const std::string& shownName);

}  // namespace view
}  // namespace zoneloads
