#include "common/text_encoding.h"

#include <cstdint>
#include <cstdio>

namespace zoneloads {
namespace {

// Windows-1252 bytes 0x80 to 0x9F as Unicode; the undefined ones keep their value.
const char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code point of the well-formed UTF-8 sequence at `at`, and its length
// in `length`; -1 when none starts there.
long decodeUtf8(std::string_view bytes, std::size_t at, std::size_t& length) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    unsigned char lead = byte(at);
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (n == 0 || lead > 0xF4 || at + n > bytes.size()) return -1;
    long code = lead & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return -1;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    const long smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
    length = n;
    return code;
}

void appendUtf16(std::u16string& out, long code) {
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

char32_t windows1252Character(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    char16_t unit = kHigh1252[byte - 0x80];
    return unit == byte ? 0 : unit;  // the undefined ones keep their value in the table
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool appendShownByte(std::string& out, unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F) {
        appendUtf8(out, byte == 0x7F ? 0x2421 : 0x2400 + byte);  // the control pictures
        return true;
    }
    char32_t character = windows1252Character(byte);
    if (character != 0) {
        appendUtf8(out, character);
        return false;
    }
    const char hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += hex[byte >> 4];
    out += hex[byte & 0xF];
    return true;
}

std::string displayText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) appendShownByte(out, static_cast<unsigned char>(c));
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0, length = 0; at < bytes.size(); at += length) {
        if (decodeUtf8(bytes, at, length) < 0) return false;
    }
    return true;
}

namespace {

// Calls `take` with each code point of `utf8` in turn; a byte that starts no
// well-formed sequence is taken as `replacement`.
template <typename Take>
void eachCodePoint(std::string_view utf8, long replacement, Take take) {
    for (std::size_t at = 0, length = 1; at < utf8.size(); at += length) {
        long code = decodeUtf8(utf8, at, length);
        if (code < 0) {
            length = 1;
            code = replacement;
        }
        take(code);
    }
}

}  // namespace

namespace {

// Code points a terminal or a page could take as an order rather than text:
// the C1 controls (CSI, OSC, NEL ...), the line and paragraph separators,
// the marks that turn the direction of text, and the non-characters.
bool controlsText(long code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029 || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFFFE || code == 0xFFFF;
}

}  // namespace

std::string displayFileName(std::string_view name) {
    if (!isValidUtf8(name)) return displayText(name);
    std::string out;
    out.reserve(name.size());
    eachCodePoint(name, 0xFFFD, [&out](long code) {
        if (code < 0x20 || code == 0x7F) {
            appendShownByte(out, static_cast<unsigned char>(code));
        } else {
            appendUtf8(out, controlsText(code) ? 0xFFFD : static_cast<char32_t>(code));
        }
    });
    return out;
}

std::u16string utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    eachCodePoint(utf8, 0xFFFD, [&out](long code) { appendUtf16(out, code); });
    return out;
}

std::u32string utf32FromUtf8(std::string_view utf8) {
    std::u32string out;
    eachCodePoint(utf8, 0xFFFD, [&out](long code) { out += static_cast<char32_t>(code); });
    return out;
}

std::string utf8FromUtf32(std::u32string_view codes) {
    std::string out;
    for (char32_t c : codes) appendUtf8(out, c);
    return out;
}

std::u16string utf16FromWindows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
}

std::string windows1252FromUtf8(std::string_view utf8) {
    std::string out;
    eachCodePoint(utf8, 0xFFFD, [&out](long code) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            return;
        }
        for (int b = 0; b < 32; ++b) {
            if (kHigh1252[b] == code) {
                out += static_cast<char>(0x80 + b);
                return;
            }
        }
        char mark[24];
        std::snprintf(mark, sizeof mark, "<U+%04lX>", static_cast<unsigned long>(code));
        out += mark;
    });
    return out;
}

std::string utf8OfName(std::string_view name) {
    if (isValidUtf8(name)) return std::string(name);
    std::string out;
    out.reserve(name.size() + name.size() / 2);
    for (char16_t unit : utf16FromWindows1252(name)) appendUtf8(out, unit);
    return out;
}

std::string windows1252OfName(std::string_view name) {
    return isValidUtf8(name) ? windows1252FromUtf8(name) : std::string(name);
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t code = utf16[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(out, code);
    }
    return out;
}

std::u16string consoleCharacters(std::string_view bytes) {
    std::u16string out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        bool blank = isBlank(bytes[at]);
        while (end < bytes.size() && isBlank(bytes[end]) == blank) ++end;
        std::string_view run = bytes.substr(at, end - at);
        out += blank || isValidUtf8(run) ? utf16FromUtf8(run) : utf16FromWindows1252(run);
        at = end;
    }
    return out;
}

}  // namespace zoneloads
