// The summary as a text table for the console: aligned columns, header
// first, one line per row, heating figures as their magnitudes, numbers
// with a decimal comma, each peak with its date ("17 jul 13:00").
#pragma once

#include <string>
#include <vector>

#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// The rows as aligned text. By default the columns an engineer reads first,
// under a line naming each report, zone names cut so that the table fits a
// window of 120 columns; `full`, every column of the CSV under its script
// name. The text is UTF-8 wherever it goes, names converted (a name that is
// not UTF-8 read as Windows-1252): for a terminal (`forTerminal`) as the
// page shows them, control bytes as visible marks; otherwise every
// character kept, line breaks as blanks.
std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal = false, bool full = false);

}  // namespace view
}  // namespace zoneloads
