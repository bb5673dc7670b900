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

// The character of a Windows-1252 byte; 0 for the five bytes 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t windows1252Character(unsigned char byte);

// Appends the code point `code` (at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t code);

// Appends a report byte (Windows-1252) as it is shown to a reader: its
// character in UTF-8, or, for a control byte, its control picture (U+2400 +
// byte, U+2421 for DEL), and for a byte that is no character "\xNN".
// Returns true when the byte was shown by such a mark, not by its character.
bool appendShownByte(std::string& out, unsigned char byte);

// Report bytes as appendShownByte shows them: UTF-8 text that no byte of
// the report can turn into a terminal's command or a spreadsheet's invalid
// character.
std::string displayText(std::string_view bytes);

// A name as text to show, a file's or a zone's, in UTF-8 that no byte can
// turn into a terminal's command or a spreadsheet's invalid character: a
// name that is well-formed UTF-8 (as Windows gives every file name, and
// most systems do; a zone's name as a report or a zone results file holds
// it may be) as its characters, control characters as their pictures and
// the noncharacters U+FFFE and U+FFFF as U+FFFD; any other as Windows-1252
// bytes, as displayText shows them.
std::string displayFileName(std::string_view name);

// A name, a file's or a zone's, as UTF-8 text for a file: as it is when it
// is well-formed UTF-8, any other as Windows-1252 (the five bytes 1252
// leaves undefined as the characters Windows gives them, U+0081 ...). Every
// character is kept, control characters too.
std::string utf8OfName(std::string_view name);

// A name, a file's or a zone's, as Windows-1252 bytes: converted from UTF-8
// when it is well-formed UTF-8 (as windows1252FromUtf8 does), any other kept
// as it is.
std::string windows1252OfName(std::string_view name);

// Well-formed UTF-8 as UTF-16.
std::u16string utf16FromUtf8(std::string_view utf8);

// Windows-1252 bytes as UTF-16; the five bytes 1252 leaves undefined keep
// their value, as Windows itself maps them.
std::u16string utf16FromWindows1252(std::string_view bytes);

// Well-formed UTF-8 as Windows-1252 bytes; a character 1252 does not have
// becomes its code point as "<U+62A5>", so that names that differ stay
// different and can be told.
std::string windows1252FromUtf8(std::string_view utf8);

// UTF-8 as code points, one a character (a byte that starts no well-formed
// sequence becomes U+FFFD).
std::u32string utf32FromUtf8(std::string_view utf8);

// Code points (each at most U+10FFFF) as UTF-8.
std::string utf8FromUtf32(std::u32string_view codes);

// UTF-16 as UTF-8 (an unpaired surrogate becomes U+FFFD).
std::string utf8FromUtf16(std::u16string_view utf16);

// Text for a console that shows characters: each word (a run between
// blanks, tabs and line breaks) that is well-formed UTF-8 is taken as UTF-8,
// any other as Windows-1252, the tool's own text. So the tool's messages and
// zone names, and a name echoed as typed or piped in UTF-8, all show right.
std::u16string consoleCharacters(std::string_view bytes);

}  // namespace zoneloads
