// The encodings that meet on Windows: the report's Windows-1252 bytes, the
// UTF-8 of Notepad and of the console read as characters, and the UTF-16 of
// the system's calls. Plain functions on bytes, the same on every platform,
// so that the rules are tested everywhere.
#pragma once

#include <string>
#include <string_view>

namespace zoneloads {

// True when `bytes` are well-formed UTF-8 (ASCII included; no overlong
// forms, surrogates or code points past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Well-formed UTF-8 as UTF-16.
std::u16string utf16FromUtf8(std::string_view utf8);

// Windows-1252 bytes as UTF-16; the five bytes 1252 leaves undefined keep
// their value, as Windows itself maps them.
std::u16string utf16FromWindows1252(std::string_view bytes);

// Well-formed UTF-8 as Windows-1252 bytes; a character 1252 does not have
// becomes "?".
std::string windows1252FromUtf8(std::string_view utf8);

// UTF-16 as UTF-8 (an unpaired surrogate becomes U+FFFD).
std::string utf8FromUtf16(std::u16string_view utf16);

// Text for a console that shows characters: each word (a run between
// blanks, tabs and line breaks) that is well-formed UTF-8 is taken as UTF-8,
// any other as Windows-1252, the tool's own text. So the tool's messages and
// zone names, and a name echoed as typed or piped in UTF-8, all show right.
std::u16string consoleCharacters(std::string_view bytes);

}  // namespace zoneloads
