#include "view/page/markup.h"

#include "common/text_encoding.h"

namespace zoneloads {
namespace view {
namespace {

// Appends the entity of an HTML special character; false for any other.
bool appendEntity(std::string& out, char c) {
    switch (c) {
        case '&': out += "&amp;"; return true;
        case '<': out += "&lt;"; return true;
        case '>': out += "&gt;"; return true;
        case '"': out += "&quot;"; return true;
        case '\'': out += "&#39;"; return true;
        default: return false;
    }
}

}  // namespace

std::string htmlText(const std::string& bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        if (appendEntity(out, static_cast<char>(b))) continue;
        std::string shown;
        bool marked = appendShownByte(shown, b);
        out += marked ? R"(<span class="ctl">)" + shown + "</span>" : shown;
    }
    return out;
}

std::string htmlName(const std::string& name) {
    if (!isValidUtf8(name)) return htmlText(name);
    const std::string shown = displayFileName(name);
    std::string out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        // A control character's picture, U+2400 to U+2421 (E2 90 80 to E2 90 A1), marked as htmlText marks it.
        if (shown.compare(i, 2, "\xE2\x90") == 0 && i + 2 < shown.size() &&
            static_cast<unsigned char>(shown[i + 2]) <= 0xA1) {
            out += R"(<span class="ctl">)" + shown.substr(i, 3) + "</span>";
            i += 2;
        } else if (!appendEntity(out, shown[i])) {
            out += shown[i];
        }
    }
    return out;
}

void appendFill(std::string& out, std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::size_t from = 0;
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        std::size_t index = static_cast<std::size_t>(pattern[i + 1] - '0');
        if (pattern[i] != '$' || index >= values.size()) continue;
        out.append(pattern.data() + from, i - from);
        out.append(values.begin()[index]);
        from = ++i + 1;
    }
    out.append(pattern.data() + from, pattern.size() - from);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size() + 64);
    appendFill(out, pattern, values);
    return out;
}

}  // namespace view
}  // namespace zoneloads
