// Console texts and the prompt helpers every step of the dialogue shares.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "common/types.h"

namespace zoneloads {

constexpr const char* kBadAnswer = "# Error respuesta no valida";
constexpr const char* kZoneOutOfRange = "# Error numero de zona fuera de rango ";
constexpr const char* kCannotOpenList = "Error al abrir el fichero ";
constexpr const char* kBadList = "# Error en fichero de zonas ";

constexpr const char* kReportIsInput = "# Error fichero salida coincide con fichero de entrada ";

// Writes the prompt (no line end), flushes it and reads one word: white
// space, line breaks included, is skipped and the word ends at the next.
// Returns false when the input ends before a word. For the first answer of
// a run (`first`), a UTF-8 byte-order mark at the very start is skipped, as
// Windows editors put one there.
bool askWord(std::istream& in, std::ostream& out, const char* prompt, std::string& word, bool first = false);

// askWord for a file name; a missing answer, or one holding a NUL byte (no
// file has such a name), gets the bad-answer message and false.
bool askName(std::istream& in, std::ostream& out, const char* prompt, std::string& name, bool first = false);

// Writes a whole console line: the text, the platform's line end, a flush.
void writeLine(std::ostream& out, const std::string& text);

}  // namespace zoneloads
