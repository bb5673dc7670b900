// Numbers as the viewer's outputs show them (the page, the tables, the
// workbook's texts): the same bytes on every platform, whatever the C
// library or the locale. The report's own numbers are formatFloat32's
// (number_format.h).
#pragma once

#include <string>

namespace zoneloads {

// The significant digits of the numbers the report and the tables write.
constexpr int kSignificantDigits = 6;

// `v` with six significant digits, as "%g" writes it ("6933.1", "1.5e+06",
// "nan", "-inf").
std::string general6(double v);

// The number general6 writes, read back: `v` rounded to six significant
// digits, as a spreadsheet holds the text of the tables.
double general6Value(double v);

// The number a text of these writes, as a spreadsheet reads it: "inf" and
// "nan" give the values they name; 0 for what is no number.
double valueOfText(const std::string& text);

// `v` with one decimal ("12.5", "-0.3").
std::string fixed1(double v);

// fixed1 of `v`, then `after`, appended to `out`.
void appendFixed1(std::string& out, double v, char after);

// The text of a value the report wrote (a float32, as formatFloat32 writes
// it): a value read from a report gives back the report's own text.
std::string reportText(double value);

}  // namespace zoneloads
