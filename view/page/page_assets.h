// The page's style sheet and script, the files page.css and page.js beside
// this one, and the chart library's, built into the program as they stand (cmake/embed.cmake writes
// their bytes into a source of the build).
#pragma once

namespace zoneloads {
namespace view {

extern const char kPageCss[];  // view/page/page.css, NUL-terminated
extern const char kPageJs[];   // view/page/page.js, NUL-terminated
// The chart library's release files (view/page/uplot), NUL-terminated.
extern const char kChartCss[];
extern const char kChartJs[];

}  // namespace view
}  // namespace zoneloads
