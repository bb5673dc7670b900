// The fixed texts a document of the viewer carries, once, for the page and
// the workbook to print: the caveat that every report opens with, in the
// viewer's words, and the definitions of the figures shown (the page's
// "Definiciones" section, the workbook's "Definiciones" sheet). UTF-8.
#pragma once

#include <vector>

namespace zoneloads {
namespace view {

// What the figures are and are not, as the report's own first lines warn:
// indicative sensible powers, not a load calculation.
extern const char kCaveat[];

// A term and what it means, in Spanish, one paragraph.
struct Definition {
    const char* term;
    const char* meaning;
};

// Every definition, in the order a reader meets the figures: the peaks and
// energies, the building's two sums, simultaneity, the set points, the
// signs and the hours.
const std::vector<Definition>& definitions();

}  // namespace view
}  // namespace zoneloads
