// The page's style sheet and script (page.css and the files of script/
// beside this one) and the chart library's, built into the program as they
// stand (cmake/embed.cmake writes their bytes into a source of the build).
#pragma once

namespace zoneloads {
namespace view {

extern const char kPageCss[];  // view/page/page.css, NUL-terminated
// The files of view/page/script, one after another in the order the
// CMakeLists gives, NUL-terminated.
extern const char kPageJs[];
// The chart library's release files (view/page/uplot), NUL-terminated.
extern const char kChartCss[];
extern const char kChartJs[];

}  // namespace view
}  // namespace zoneloads
