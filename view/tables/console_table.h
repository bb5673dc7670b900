// The summary as a text table for the console: aligned columns, header
// first, one line per row, each zone block named by its label as every
// output names it ("3 \u00b7 NAME", "bloque 4 \u00b7 NAME", TOTAL), heating
// figures as magnitudes under heating headers, numbers in
// their quantity's decimals with a decimal comma and grouped thousands,
// right-aligned so that the commas line up, each peak with its date
// ("17 jul 13:00").
#pragma once

#include <string>
#include <vector>

#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// The rows as aligned text. By default the columns an engineer reads first,
// under a line naming each report, zone labels cut so that the table fits a
// window of 120 columns; `full`, the report, the zone's label and every
// figure of the CSV under its script name (a heating figure's under a name
// that says so: "calefacci\u00f3n_max[W]"). The text is UTF-8 wherever
// it goes, names converted (a name that is not UTF-8 read as Windows-1252):
// for a terminal (`forTerminal`) as the page shows them, control bytes as
// visible marks; otherwise every character kept, line breaks as blanks.
std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal = false, bool full = false);

}  // namespace view
}  // namespace zoneloads
