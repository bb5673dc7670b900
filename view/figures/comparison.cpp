#include "view/figures/comparison.h"

#include <cmath>
#include <limits>
#include <map>

#include "common/text_encoding.h"
#include "view/figures/summary_columns.h"

namespace zoneloads {
namespace view {

Pairing pairRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant) {
    Pairing pairing;
    // The variant's blocks of each name, in order, and how many are taken.
    std::map<std::string, std::vector<std::size_t>> unpaired;
    for (std::size_t i = 0; i < variant.size(); ++i) {
        if (!isBuilding(variant[i])) unpaired[variant[i].zone].push_back(i);
    }
    std::map<std::string, std::size_t> taken;
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (isBuilding(base[i])) continue;
        auto match = unpaired.find(base[i].zone);
        std::size_t& next = taken[base[i].zone];
        if (match != unpaired.end() && next < match->second.size()) {
            pairing.pairs.push_back({i, match->second[next++]});
        } else {
            pairing.baseAlone.push_back(i);
        }
    }
    for (const auto& [name, rows] : unpaired) {
        for (std::size_t i = taken[name]; i < rows.size(); ++i) pairing.variantAlone.push_back(rows[i]);
    }
    if (!base.empty() && !variant.empty()) pairing.pairs.push_back({base.size() - 1, variant.size() - 1});
    return pairing;
}

std::vector<UnpairedBlock> unpairedBlocks(const Pairing& pairing, const std::vector<SummaryRow>& base,
                                          const std::vector<SummaryRow>& variant) {
    std::vector<UnpairedBlock> unpaired;
    const std::string baseName = base.empty() ? "" : base.back().report;
    const std::string variantName = variant.empty() ? "" : variant.back().report;
    for (std::size_t i : pairing.baseAlone)
        unpaired.push_back({baseName, base[i].block, base[i].zone, variantName, true, base[i].zoneNumber});
    for (std::size_t i : pairing.variantAlone) {
        unpaired.push_back({variantName, variant[i].block, variant[i].zone, baseName, false, variant[i].zoneNumber});
    }
    return unpaired;
}

std::string warningText(const UnpairedBlock& block) {
    return displayFileName(block.report) + ": bloque " + std::to_string(block.block) + " (" +
           displayFileName(block.zone) + ") sin zona del mismo nombre en la " + (block.inBase ? "variante " : "base ") +
           displayFileName(block.otherReport);
}

std::vector<DifferenceRow> differenceRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant,
                                          const Pairing& pairing) {
    std::vector<const SummaryColumn*> columns = comparedColumns();
    std::vector<DifferenceRow> rows;
    for (const Pairing::Pair& pair : pairing.pairs) {
        const SummaryRow& b = base[pair.base];
        const SummaryRow& v = variant[pair.variant];
        DifferenceRow row;
        row.baseReport = b.report;
        row.variantReport = v.report;
        row.building = isBuilding(b);
        row.zone = row.building ? "" : b.zone;
        row.baseBlock = b.block;
        row.variantBlock = v.block;
        row.baseZoneNumber = b.zoneNumber;
        row.variantZoneNumber = v.zoneNumber;
        for (const SummaryColumn* c : columns) {
            bool none = c->cell(b).kind == CellKind::empty && c->cell(v).kind == CellKind::empty;
            row.figures.push_back({c->compared(b), c->compared(v), none});
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Comparison compareReports(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant) {
    Pairing pairing = pairRows(base, variant);
    Comparison comparison;
    comparison.baseReport = base.empty() ? "" : base.back().report;
    comparison.variantReport = variant.empty() ? "" : variant.back().report;
    comparison.unpaired = unpairedBlocks(pairing, base, variant);
    comparison.rows = differenceRows(base, variant, pairing);
    return comparison;
}

double percentOfBase(double base, double variant) {
    if (base == 0 || !std::isfinite(base) || !std::isfinite(variant)) return std::numeric_limits<double>::quiet_NaN();
    return (variant - base) / std::fabs(base) * 100;
}

std::vector<std::string> differenceHeader() {
    std::vector<std::string> header = {"base", "variante", "zona", "bloque_base", "bloque_variante"};
    for (const SummaryColumn* c : comparedColumns()) {
        std::string name = c->name;
        for (const char* suffix : {"_base", "_variante", "_dif", "_dif[%]"}) header.push_back(name + suffix);
    }
    return header;
}

}  // namespace view
}  // namespace zoneloads
