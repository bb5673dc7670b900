// Small helpers for the page's markup: text escaped for HTML and templates
// filled with values.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zoneloads {
namespace view {

// Report bytes (Windows-1252) as UTF-8 HTML text: every special character
// escaped, control bytes as their control pictures and bytes that are no
// character as \xNN (displayText's marks), each marked as such.
std::string htmlText(const std::string& bytes);

// A name, a file's or a zone's, as UTF-8 HTML text: a name that is UTF-8
// (a file's on Windows always, elsewhere as the system's names usually are)
// as displayFileName shows it, control pictures marked as htmlText marks
// them; any other as Windows-1252 bytes by htmlText.
std::string htmlName(const std::string& name);

// `pattern` with $0 .. $9 replaced by the values given, in order; the values
// are put in as they are (escape them first where needed).
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);
// fill, appended to `out`.
void appendFill(std::string& out, std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace view
}  // namespace zoneloads
