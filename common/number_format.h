// Number formatting shared by the console and the report.
//
// A float32 is written as printf's "%g" writes its double value: six
// significant digits, correctly rounded (ties to even), trailing zeros and a
// trailing point dropped, and the exponent form "d.ddddde+XX" when the decimal
// exponent is below -4 or at least 6. Nothing here depends on the locale or on
// the platform's printf: NaN is "nan" ("-nan" with the sign bit set),
// infinities are "inf" and "-inf", and negative zero is "-0".
#pragma once

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
char* formatInt32(int32 value, char* out);

// An int32 as its text.
std::string int32Text(int32 value);

}  // namespace zoneloads
