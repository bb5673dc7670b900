#include "view/markup.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/text_encoding.h"

namespace zoneloads {
namespace view {
namespace {

// Windows-1252 bytes 0x80 to 0x9F as Unicode; 0 where the byte is no character.
const std::uint16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

namespace {

// One report byte as the page and a terminal show it: its character in
// UTF-8, or, for a control byte or a byte that is no character, a visible
// mark (`marked` true).
void appendShown(std::string& out, unsigned char b, bool& marked) {
    marked = true;
    if (b < 0x20 || b == 0x7F) {
        appendUtf8(out, b == 0x7F ? 0x2421 : 0x2400 + b);  // the control pictures
    } else if (b < 0x80 || b >= 0xA0) {
        appendUtf8(out, b);
        marked = false;
    } else if (kHigh1252[b - 0x80]) {
        appendUtf8(out, kHigh1252[b - 0x80]);
        marked = false;
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", b);
        out += hex;
    }
}

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
        bool marked;
        appendShown(shown, b, marked);
        out += marked ? R"(<span class="ctl">)" + shown + "</span>" : shown;
    }
    return out;
}

std::string htmlName(const std::string& name) {
    if (!isValidUtf8(name)) return htmlText(name);
    std::string out;
    for (char c : name) {
        if (!appendEntity(out, c)) out += c;
    }
    return out;
}

std::string displayText(const std::string& bytes) {
    std::string out;
    bool marked;
    for (unsigned char b : bytes) appendShown(out, b, marked);
    return out;
}

// std::to_chars's output is exact and the same on every platform, so the
// page's bytes do not depend on the C library.
std::string general6(double v) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

namespace {

// Writes v with one decimal at `text`; returns its end. The figures' own
// coordinates and values, far below 1e15, are rounded to tenths as
// integers, which is much faster than a general conversion; 0.0 has no
// sign. Anything larger, and what is no number, is converted in full.
char* writeFixed1(char* text, char* limit, double v) {
    if (!(std::fabs(v) < 1e14)) return std::to_chars(text, limit, v, std::chars_format::fixed, 1).ptr;
    long long tenths = std::llround(v * 10);
    if (tenths < 0) {
        *text++ = '-';
        tenths = -tenths;
    }
    text = std::to_chars(text, limit, tenths / 10).ptr;
    *text++ = '.';
    *text++ = static_cast<char>('0' + tenths % 10);
    return text;
}

}  // namespace

std::string fixed1(double v) {
    char text[64];
    return std::string(text, writeFixed1(text, text + sizeof text, v));
}

void appendFixed1(std::string& out, double v, char after) {
    char text[64];
    char* end = writeFixed1(text, text + sizeof text - 1, v);
    *end++ = after;
    out.append(text, end);
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
