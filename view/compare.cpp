#include "view/compare.h"

#include <cmath>
#include <map>

#include "view/markup.h"

namespace zoneloads {
namespace view {

Pairing pairRows(const std::vector<SummaryRow>& base, const std::vector<SummaryRow>& variant) {
    Pairing pairing;
    // The variant's blocks of each name, in order, not yet taken.
    std::map<std::string, std::vector<const SummaryRow*>> unpaired;
    for (const SummaryRow& row : variant) {
        if (row.block != 0) unpaired[row.zone].push_back(&row);
    }
    std::map<std::string, std::size_t> taken;
    for (const SummaryRow& row : base) {
        if (row.block == 0) continue;
        auto match = unpaired.find(row.zone);
        std::size_t& next = taken[row.zone];
        if (match != unpaired.end() && next < match->second.size()) {
            pairing.pairs.push_back({&row, match->second[next++]});
        } else {
            pairing.baseAlone.push_back(&row);
        }
    }
    for (const auto& [name, rows] : unpaired) {
        for (std::size_t i = taken[name]; i < rows.size(); ++i) pairing.variantAlone.push_back(rows[i]);
    }
    if (!base.empty() && !variant.empty()) pairing.pairs.push_back({&base.back(), &variant.back()});
    return pairing;
}

std::vector<std::string> pairingWarnings(const Pairing& pairing) {
    std::vector<std::string> warnings;
    for (const SummaryRow* row : pairing.baseAlone) {
        warnings.push_back(row->report + ": bloque " + std::to_string(row->block) + " (" + row->zone +
                           ") sin zona del mismo nombre en la variante");
    }
    for (const SummaryRow* row : pairing.variantAlone) {
        warnings.push_back(row->report + ": bloque " + std::to_string(row->block) + " (" + row->zone +
                           ") sin zona del mismo nombre en la base");
    }
    return warnings;
}

std::vector<Compared> comparedFigures(const SummaryRow& base, const SummaryRow& variant) {
    const Summary& b = base.summary;
    const Summary& v = variant.summary;
    // A building's hours outside are its zone blocks' added up.
    auto above = [](const SummaryRow& r) {
        return static_cast<double>(r.block == 0 ? r.zoneHoursAbove : r.summary.hoursAbove);
    };
    auto below = [](const SummaryRow& r) {
        return static_cast<double>(r.block == 0 ? r.zoneHoursBelow : r.summary.hoursBelow);
    };
    return {{"QsREF_max[W]", b.maxPos, v.maxPos},
            {"QsCAL_max[W]", b.minNeg, v.minNeg},
            {"QL_max[W]", b.maxQL, v.maxQL},
            {"QsQL_max[W]", b.maxTotal, v.maxTotal},
            {"Qs_pos[kWh]", b.sumPosWh / 1000, v.sumPosWh / 1000},
            {"Qs_neg[kWh]", b.sumNegWh / 1000, v.sumNegWh / 1000},
            {"QL[kWh]", b.sumQLWh / 1000, v.sumQLWh / 1000},
            {"horas_T_sobre_max", above(base), above(variant)},
            {"horas_T_bajo_min", below(base), below(variant)}};
}

std::string percentText(double base, double variant) {
    if (base == 0 || !std::isfinite(base) || !std::isfinite(variant)) return "";
    return general6((variant - base) / std::fabs(base) * 100);
}

std::vector<std::string> differenceHeader() {
    std::vector<std::string> header = {"base", "variante", "zona", "bloque_base", "bloque_variante"};
    SummaryRow none;
    for (const Compared& c : comparedFigures(none, none)) {
        std::string name = c.name;
        header.push_back(name + "_base");
        header.push_back(name + "_variante");
        header.push_back(name + "_dif");
        header.push_back(name + "_dif[%]");
    }
    return header;
}

std::vector<std::string> differenceFields(const std::string& variantName, const Pairing::Pair& pair) {
    bool building = pair.base->block == 0;
    std::vector<std::string> fields = {pair.base->report, variantName, building ? "EDIFICIO" : pair.base->zone,
                                       building ? "TOTAL" : std::to_string(pair.base->block),
                                       building ? "TOTAL" : std::to_string(pair.variant->block)};
    for (const Compared& c : comparedFigures(*pair.base, *pair.variant)) {
        fields.push_back(general6(c.base));
        fields.push_back(general6(c.variant));
        fields.push_back(general6(c.variant - c.base));
        fields.push_back(percentText(c.base, c.variant));
    }
    return fields;
}

}  // namespace view
}  // namespace zoneloads
