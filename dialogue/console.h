// Console texts and the small helpers every step of the dialogue shares.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "common/types.h"

namespace zoneloads {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = -1;

constexpr const char* kBadAnswer = "# Error respuesta no valida";
constexpr const char* kCannotOpenInput = "# Error al abrir fichero entrada ";
constexpr const char* kIncompleteInput = "# Error fichero entrada incompleto ";
constexpr const char* kCannotReadInput = "# Error al leer fichero entrada ";
constexpr const char* kZoneOutOfRange = "# Error numero de zona fuera de rango ";
constexpr const char* kCannotOpenList = "Error al abrir el fichero ";
constexpr const char* kBadList = "# Error en fichero de zonas ";
constexpr const char* kCannotOpenReport = "# Error al abrir fichero salida ";
constexpr const char* kCannotWriteReport = "# Error al escribir fichero salida ";

// Writes the prompt (no line end), flushes it and reads one word: white
// space, line breaks included, is skipped and the word ends at the next.
// Returns false when the input ends before a word.
bool askWord(std::istream& in, std::ostream& out, const char* prompt, std::string& word);

// Writes a whole console line: the text, the platform's line end, a flush.
void writeLine(std::ostream& out, const std::string& text);

// Checks that the zone results file is usable and sets its count; otherwise
// writes the matching message and returns false.
bool openZoneFile(std::ostream& out, const std::string& fileName, int32& count);

}  // namespace zoneloads
