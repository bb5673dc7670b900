// Console texts and the prompt helpers every step of the dialogue shares.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "common/file_name.h"
#include "common/types.h"

namespace zoneloads {

constexpr const char* kBadAnswer = "# Error respuesta no valida";
constexpr const char* kZoneOutOfRange = "# Error numero de zona fuera de rango ";
constexpr const char* kCannotOpenList = "Error al abrir el fichero ";
constexpr const char* kBadList = "# Error en fichero de zonas ";

constexpr const char* kReportIsInput = "# Error fichero salida coincide con fichero de entrada ";

enum class AnswerEncoding { bytes, utf16le, utf16be };

// The answers as the dialogue reads them from `in`, a byte at a time and no
// further than an answer needs (a typed answer is read as it is typed). The
// start is looked at once, after the first prompt shows: a UTF-8 byte-order
// mark there is skipped (Windows editors write one); after a UTF-16 mark
// (FF FE, as Windows PowerShell 5's ">" writes, or FE FF) the characters are
// decoded and read as their UTF-8 bytes.
struct Answers {
    std::istream* in = nullptr;
    bool endAtCtrlZ = false;  // a 0x1A byte ends byte answers, as Windows' text mode ends a pipe
    bool started = false;     // the start has been looked at for a mark
    AnswerEncoding encoding = AnswerEncoding::bytes;
    std::string ahead;  // bytes taken from `in` (or decoded) and not yet read
    std::size_t at = 0;
    bool ended = false;      // a Ctrl-Z was met: nothing more is read
    bool malformed = false;  // a cut or unpaired UTF-16 unit was met: nothing more is read
};

// Writes the prompt (no line end), flushes it and reads one answer. White
// space, line breaks included, is skipped. An answer that starts with a
// double quote is every byte up to the next one, without the quotes (so a
// pasted "C:\Mis documentos\x.bin" is one name); the closing quote must come
// before the line ends and be followed by white space or the end. Any other
// answer is one word, ending at the next white space. Returns false when the
// input ends before an answer, for a quote left open or followed by more
// text, and for UTF-16 met cut or unpaired while the answer is read.
bool askWord(Answers& answers, std::ostream& out, const char* prompt, std::string& word);

// askWord for a file name; a missing answer, an empty one or one holding a
// NUL byte (no file has such a name) gets the bad-answer message and false.
bool askName(Answers& answers, std::ostream& out, const char* prompt, std::string& name);

// The file an answer names: its bytes read as pathFromBytes reads them, or,
// when that names no file but their reading in the console's OEM code page
// names one (on Windows, a name that cmd's `echo` wrote at its default code
// page), that one. Its text is the answer's bytes either way.
FileName answeredFile(const std::string& answer);

// Writes a whole console line: the text, the platform's line end, a flush.
void writeLine(std::ostream& out, const std::string& text);

}  // namespace zoneloads
