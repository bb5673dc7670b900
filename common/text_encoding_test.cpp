#include "common/text_encoding.h"

#include <gtest/gtest.h>

#include <iostream>

#include "common/file_name.h"
#include "common/platform.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace zoneloads {
namespace {

TEST(Utf8, WellFormedOnly) {
    for (const char* good :
         {"", "casa.txt", "C\xC3\xA1mara.txt", "\xE2\x82\xAC", "\xE6\x8A\xA5\xE5\x91\x8A", "\xF0\x9F\x98\x80"}) {
        EXPECT_TRUE(isValidUtf8(good)) << good;
    }
    // Windows-1252 text, overlong forms, surrogates, past U+10FFFF, cut short.
    for (const char* bad :
         {"C\xE1mara.txt", "n\xBA", "\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xC3"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    }
}

TEST(Utf16, FromAndToUtf8AndWindows1252) {
    EXPECT_EQ(utf16FromUtf8("C\xC3\xA1mara \xE6\x8A\xA5\xF0\x9F\x98\x80"), u"C\u00E1mara \u62A5\U0001F600");
    EXPECT_EQ(utf8FromUtf16(u"C\u00E1mara \u62A5\U0001F600"), "C\xC3\xA1mara \xE6\x8A\xA5\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");  // unpaired
    EXPECT_EQ(utf16FromWindows1252("C\xE1mara n\xBA \x80 \x81 \x9F"), u"C\u00E1mara n\u00BA \u20AC \u0081 \u0178");
    EXPECT_EQ(utf32FromUtf8("C\xC3\xA1mara \xE6\x8A\xA5\xF0\x9F\x98\x80\xFF"), U"C\u00E1mara \u62A5\U0001F600\uFFFD");
    EXPECT_EQ(utf8FromUtf32(U"C\u00E1mara \u62A5\U0001F600"), "C\xC3\xA1mara \xE6\x8A\xA5\xF0\x9F\x98\x80");
}

// A name shown to a terminal or a page: its letters as they are, any
// character that could act on the terminal (C0 and C1 controls, line
// separators, direction marks) as a picture or U+FFFD, so that one name is
// one line of plain text.
TEST(DisplayFileName, ShowsLettersAndDisarmsControls) {
    EXPECT_EQ(displayFileName("C\xC3\xA1mara \xE6\x8A\xA5.txt"), "C\xC3\xA1mara \xE6\x8A\xA5.txt");
    EXPECT_EQ(displayFileName("a\x1B]0;T\x07\nb"),
              "a\xE2\x90\x9B]0;T\xE2\x90\x87\xE2\x90\x8A"
              "b");
    const std::string replaced = "\xEF\xBF\xBD";
    EXPECT_EQ(displayFileName("c1\xC2\x9B"
                              "2J\xC2\x85"),
              "c1" + replaced + "2J" + replaced);  // CSI, NEL
    EXPECT_EQ(displayFileName("x\xE2\x80\xAEtxt.exe\xE2\x80\xA8"), "x" + replaced + "txt.exe" + replaced);
    EXPECT_EQ(displayFileName("C\xE1mara\x9B"), "C\xC3\xA1mara\xE2\x80\xBA");  // not UTF-8: Windows-1252
}

// A name for a file of one encoding: UTF-8 kept, any other read as
// Windows-1252 (its undefined bytes as Windows maps them); in Windows-1252,
// a character it lacks as its code point, so that names stay apart.
TEST(NamesConverted, ToUtf8AndToWindows1252) {
    EXPECT_EQ(utf8OfName("A\xC3\xB1o \xE6\x8A\xA5"), "A\xC3\xB1o \xE6\x8A\xA5");
    EXPECT_EQ(utf8OfName("C\xE1mara n\xBA \x80\x81\x01"), "C\xC3\xA1mara n\xC2\xBA \xE2\x82\xAC\xC2\x81\x01");
    EXPECT_EQ(windows1252OfName("C\xE1mara \x81"), "C\xE1mara \x81");
    EXPECT_EQ(windows1252OfName("C\xC3\xA1mara \xE2\x82\xAC\xC2\x81"), "C\xE1mara \x80\x81");
    EXPECT_EQ(windows1252OfName("\xE6\x8A\xA5\xE5\x91\x8A \xF0\x9F\x98\x80"), "<U+62A5><U+544A> <U+1F600>");
    EXPECT_EQ(windows1252OfName(utf8OfName("\x80\x81\x8D\x8F\x90\x9D\xFF")), "\x80\x81\x8D\x8F\x90\x9D\xFF");
}

// What a console shows: the tool's Windows-1252 text and zone names, and the
// names given in UTF-8, each word by its own encoding.
TEST(ConsoleCharacters, EachWordByItsEncoding) {
    EXPECT_EQ(consoleCharacters("n\xBA zonas SOVRA: 3\n"), u"n\u00BA zonas SOVRA: 3\n");
    EXPECT_EQ(consoleCharacters("Fichero salida = C\xC3\xA1mara.txt\r\n"), u"Fichero salida = C\u00E1mara.txt\r\n");
    EXPECT_EQ(consoleCharacters("[0] Nombre zona: C\xE1lculo\tA\xC3\xB1o"), u"[0] Nombre zona: C\u00E1lculo\tA\u00F1o");
    EXPECT_EQ(consoleCharacters(""), u"");
}

// A pipe or a file keeps its bytes: only a real console is read and
// written as characters (here the test's streams are pipes or files).
TEST(ConsoleCharacters, PipesKeepTheirStreams) {
    std::streambuf* in = std::cin.rdbuf();
    std::streambuf* out = std::cout.rdbuf();
    if (standardOutputIsTerminal()) GTEST_SKIP() << "standard output is a console here";
    useConsoleCharacters();
    EXPECT_EQ(std::cout.rdbuf(), out);
    EXPECT_EQ(std::cin.rdbuf(), in);
    pauseIfOwnConsole();  // no console of its own: returns at once
}

// A name given as bytes: on POSIX the bytes are the path; on Windows the
// bytes are UTF-8 when well-formed, else the ANSI code page (1252 on
// Spanish Windows), so both spellings of Cámara name one file.
TEST(FileName, AnswerBytesToPath) {
    FileName utf8("C\xC3\xA1mara.txt");
    FileName ansi("C\xE1mara.txt");
    EXPECT_EQ(utf8.text, "C\xC3\xA1mara.txt");
    EXPECT_EQ(ansi.text, "C\xE1mara.txt");
#if defined(_WIN32)
    EXPECT_EQ(utf8.path.wstring(), L"C\u00E1mara.txt");
    EXPECT_EQ(FileName("\xE6\x8A\xA5\xE5\x91\x8A.txt").path.wstring(), L"\u62A5\u544A.txt");
    if (GetACP() == 1252) {
        EXPECT_EQ(ansi.path.wstring(), L"C\u00E1mara.txt");
    }
    EXPECT_EQ(fileNameOfPath(utf8.path).text, "C\xC3\xA1mara.txt");
    // What cmd's echo writes at the console's OEM code page (850, or 437
    // here: both have \xF1 as 0xA4), read so when the first reading names no file.
    if (GetOEMCP() == 850 || GetOEMCP() == 437) {
        EXPECT_EQ(oemCodePagePath("A\xA4o.bin").wstring(), L"A\u00F1o.bin");
    }
    EXPECT_TRUE(oemCodePagePath("casa.bin").empty());
#else
    EXPECT_TRUE(oemCodePagePath("A\xA4o.bin").empty());  // names are bytes
    EXPECT_EQ(utf8.path.native(), "C\xC3\xA1mara.txt");
    EXPECT_EQ(ansi.path.native(), "C\xE1mara.txt");
    EXPECT_EQ(fileNameOfPath(ansi.path).text, "C\xE1mara.txt");
#endif
}

}  // namespace
}  // namespace zoneloads
