#include "common/number_display.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "common/number_format.h"

namespace zoneloads {
namespace {

// Writes v with one decimal at `text`; returns its end. Chart coordinates
// and values, far below 1e14, are rounded to tenths as integers, which is
// much faster than a general conversion; 0.0 has no sign. Anything larger,
// and what is no number, is converted in full.
char* writeFixed1(char* text, char* limit, double v) {
    if (!(std::fabs(v) < 1e14)) return std::to_chars(text, limit, v, std::chars_format::fixed, 1).ptr;
    long long tenths = std::llround(v * 10);
    if (tenths < 0) {
        *text++ = '-';
        tenths = -tenths;
    }
    text = std::to_chars(text, limit, tenths / 10).ptr;
    *text++ = '.';
    *text++ = static_cast<char>('0' + tenths % 10);
    return text;
}

}  // namespace

// std::to_chars's output is exact and the same on every platform.
std::string general6(double v) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, kSignificantDigits);
    return std::string(text, result.ptr);
}

double general6Value(double v) { return std::isfinite(v) ? valueOfText(general6(v)) : v; }

double valueOfText(const std::string& text) {
    double value = 0;
    const char* first = text.data();
    if (!text.empty() && text[0] == '+') ++first;  // from_chars takes no plus sign
    std::from_chars(first, text.data() + text.size(), value);
    return value;
}

std::string fixed1(double v) {
    char text[64];
    return std::string(text, writeFixed1(text, text + sizeof text, v));
}

// The shortest text that reads back as `v` (the report's own text of a value
// read from it) is rounded as a person, and a spreadsheet, rounds it: a half
// away from 0 ("2504.5" to "2505"), not the binary value's tie to even.
std::string spanishNumber(double v, int decimals, const char* separator) {
    if (!std::isfinite(v)) return general6(v);
    const auto places = static_cast<std::size_t>(std::clamp(decimals, 0, 15));
    char text[400];  // the largest double has 309 integer digits
    std::string digits(text, std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::fixed).ptr);
    std::size_t point = digits.find('.');
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    digits.erase(std::min(point, digits.size()));
    bool up = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    digits += fraction;  // every digit kept, the decimals last
    for (std::size_t i = digits.size(); up && i-- > 0;) {
        up = digits[i] == '9';
        digits[i] = up ? '0' : static_cast<char>(digits[i] + 1);
    }
    if (up) digits.insert(0, "1");
    const std::size_t integerDigits = digits.size() - places;
    std::string out = v < 0 && digits.find_first_not_of('0') != std::string::npos ? "-" : "";
    for (std::size_t i = 0; i < integerDigits; ++i) {
        if (i > 0 && (integerDigits - i) % 3 == 0 && integerDigits >= 4) out += separator;
        out += digits[i];
    }
    if (places > 0) out += "," + digits.substr(integerDigits);
    return out;
}

void appendFixed1(std::string& out, double v, char after) {
    char text[64];
    char* end = writeFixed1(text, text + sizeof text - 1, v);
    *end++ = after;
    out.append(text, end);
}

std::string reportText(double value) {
    char text[kMaxNumberChars];
    return std::string(text, formatFloat32(static_cast<float32>(value), text));
}

}  // namespace zoneloads
