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
// name. For a terminal (`forTerminal`) names are UTF-8 as the page shows
// them, control bytes as visible marks; otherwise they are the report's
// bytes, line breaks as blanks.
std::string consoleTable(const std::vector<SummaryRow>& rows, bool forTerminal = false, bool full = false);

}  // namespace view
}  // namespace zoneloads
