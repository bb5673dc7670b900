// Two designs compared: the first report is the base, each other a variant.
// Zone blocks are paired by name (the k-th block of a name in the base with
// the k-th of that name in the variant, where names repeat), the buildings
// with each other, and each pair's figures (summary_columns.h, those with a
// compared position) set side by side as numbers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// The pairs of a variant's rows with the base's, as positions in each list
// of rows (zone blocks, then the building), in the base's block order, the
// buildings last; and the zone blocks left without a partner.
struct Pairing {
    struct Pair {
        std::size_t base;
        std::size_t variant;
    };
    std::vector<Pair> pairs;
    std::vector<std::size_t> baseAlone;
    std::vector<std::size_t> variantAlone;
};

// Pairs the rows of two reports (each: zone blocks, then its building).
Pairing pairRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant);

// A zone block left alone by a pairing: its report, block and zone, and the
// report that has no zone of its name.
struct UnpairedBlock {
    std::string report;
    int block = 0;
    std::string zone;  // its report bytes
    std::string otherReport;
    bool inBase = false;  // a block of the base, without a partner in the variant
    int zoneNumber = -1;  // its SummaryRow::zoneNumber
};

// The zone blocks a pairing left alone: the base's, then the variant's.
std::vector<UnpairedBlock> unpairedBlocks(const Pairing& pairing, const std::vector<SummaryRow>& base,
                                          const std::vector<SummaryRow>& variant);

// The warning of a block left alone, in one line to show ("b.txt: bloque 4
// (Patio) sin zona del mismo nombre en la variante v.txt"): names shown as
// displayFileName shows them, control bytes as their pictures.
std::string warningText(const UnpairedBlock& block);

// One compared figure of a pair.
struct ComparedFigure {
    double base;
    double variant;
    bool none = false;  // a figure the pair does not have (a zone's simultaneous heating): empty cells
};

// A row of the difference table.
struct DifferenceRow {
    std::string baseReport;
    std::string variantReport;
    bool building = false;
    std::string zone;  // the base's zone name, its report bytes; empty for the buildings
    int baseBlock = 0;
    int variantBlock = 0;
    std::vector<ComparedFigure> figures;  // in the order of comparedColumns()
    int baseZoneNumber = -1;              // each block's SummaryRow::zoneNumber, for its label
    int variantZoneNumber = -1;
};

// The difference rows of a variant with the base, in the pairing's order.
std::vector<DifferenceRow> differenceRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant,
                                          const Pairing& pairing);

// A variant compared with the base: the zone blocks their pairing left
// alone and the rows of their difference table.
struct Comparison {
    std::string baseReport;
    std::string variantReport;
    std::vector<UnpairedBlock> unpaired;
    std::vector<DifferenceRow> rows;
};

// Compares the rows of a variant with the base's.
Comparison compareReports(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant);

// The difference of a figure in % of the base's magnitude; NaN when there is
// none (a base of 0, or a value that is not finite).
double percentOfBase(double base, double variant);

// The difference table's script names: the two reports, the zone, the two
// blocks, then per compared figure F its F_base, F_variante, F_dif and
// F_dif[%].
std::vector<std::string> differenceHeader();

}  // namespace view
}  // namespace zoneloads
