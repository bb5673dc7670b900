// Numbers as the viewer's outputs show them (the page, the tables, the
// workbook's texts): the same bytes on every platform, whatever the C
// library or the locale. The report's own numbers are formatFloat32's
// (number_format.h); a figure shown to a reader, in its quantity's unit and
// decimals, is spanishNumber's (view/figures/quantities.h).
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

// The character that groups thousands in the numbers a reader reads: a
// point, as a spreadsheet in a Spanish locale shows them, so that a figure
// reads the same on the page, in the console and in the workbook
// (doc/formats.md, "Numbers for a reader").
constexpr const char* kThousandsSeparator = ".";

// `v` as a Spanish reader reads it: rounded to `decimals` (0 to 15) fixed
// decimals, a half away from 0 as a spreadsheet rounds, after a decimal comma, the thousands of its integer part
// grouped by `separator` from four digits on ("382.138,0", "2.505", "-12,5"); a value that rounds to 0 has no sign
// ("0,0"); what is no finite number as general6 writes it ("inf", "-inf", "nan").
std::string spanishNumber(double v, int decimals, const char* separator = kThousandsSeparator);

// fixed1 of `v`, then `after`, appended to `out`.
void appendFixed1(std::string& out, double v, char after);

// The text of a value the report wrote (a float32, as formatFloat32 writes
// it): a value read from a report gives back the report's own text.
std::string reportText(double value);

}  // namespace zoneloads
