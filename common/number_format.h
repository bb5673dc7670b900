// Number formatting shared by the console and the report: a float32 as
// printf's "%g" writes its double value, an int32 in decimal (doc/formats.md,
// the report). Nothing here depends on the locale or on the platform's
// printf: NaN is "nan" ("-nan" with the sign bit set), infinities "inf" and
// "-inf", negative zero "-0".
#pragma once

#include <cstddef>
#include <string>

#include "common/types.h"

namespace zoneloads {

// Room for the longest text either function writes ("-1.23457e+38" and
// "-0.000123457" are 12 characters, "-2147483648" is 11), with slack.
constexpr int kMaxNumberChars = 16;

// Both write the value's text at `out`, without a terminating NUL, and return
// the end of what they wrote. `out` must have room for kMaxNumberChars
// characters: formatFloat32 stores whole 8-byte words and may leave bytes
// past the end it returns.
char* formatFloat32(float32 value, char* out);
// See formatFloat32.
char* formatInt32(int32 value, char* out);

// An int32 as its text.
std::string int32Text(int32 value);

// The double a reader of the report gets for `value`: what parseReal gives
// for the text formatFloat32 writes (nan, inf, -0 and the sign included),
// the same bits, found without the text for nearly every value.
double float32TextValue(float32 value);
// float32TextValue of each of the `count` values, into `out`.
void float32TextValues(const float32* values, std::size_t count, double* out);

// Reads the `length` bytes at `text` as a real of the report's grammar, the
// way formatFloat32 writes one ("-12.5", "1.5e+06", "nan", "-inf"): true,
// with its value, correctly rounded and with its sign, in `value`, when they
// are one; false for anything else ("+1", "1.", "1e5", "1.5E+06", " 1").
bool parseReal(const char* text, std::size_t length, double& value);

// Reads the real that starts at `text` (before `end`) as parseReal does,
// stopping where the real can go no further; returns where it stopped, or
// nullptr when no real of the grammar starts there. Whether the real ends
// where the caller expects is the caller's to check.
const char* scanReal(const char* text, const char* end, double& value);

// Reads the int32 that starts at `text` as isIntegerText does, stopping
// where it can go no further; returns where it stopped, or nullptr.
const char* scanInt32(const char* text, const char* end);

// True when the `length` bytes at `text` are an int32 as formatInt32 writes
// one: decimal digits, with "-" before a negative one, within the range.
bool isIntegerText(const char* text, std::size_t length);

}  // namespace zoneloads
