// Two designs compared: the first report is the base, each other a variant.
// Zone blocks are paired by name (the k-th block of a name in the base with
// the k-th of that name in the variant, where names repeat), the buildings
// with each other, and each pair's figures set side by side.
#pragma once

#include <string>
#include <vector>

#include "view/summary_table.h"

namespace zoneloads {
namespace view {

// The pairs of a variant with the base, in the base's block order, the
// buildings last; and what could not be paired.
struct Pairing {
    struct Pair {
        const SummaryRow* base;
        const SummaryRow* variant;
    };
    std::vector<Pair> pairs;
    std::vector<const SummaryRow*> baseAlone;     // zone blocks of the base with no match
    std::vector<const SummaryRow*> variantAlone;  // zone blocks of the variant with no match
};

// Pairs the rows of two reports (each: zone blocks, then its totals row).
Pairing pairRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant);

// The warnings of a pairing, one line each: the blocks that were left alone.
std::vector<std::string> pairingWarnings(const Pairing& pairing);

// The figures compared, in the table's order, each "base, variant".
struct Compared {
    const char* name;  // as the tables head it
    double base;
    double variant;
};
std::vector<Compared> comparedFigures(const SummaryRow& base, const SummaryRow& variant);

// The difference table's header (zone, blocks, then per figure its base,
// variant, difference and difference in %), and a pair's row of it.
std::vector<std::string> differenceHeader();
std::vector<std::string> differenceFields(const std::string& variantName, const Pairing::Pair& pair);

// The difference of a figure in % of the base's magnitude; empty when the
// base is 0.
std::string percentText(double base, double variant);

}  // namespace view
}  // namespace zoneloads
