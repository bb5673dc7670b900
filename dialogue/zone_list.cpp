#include "dialogue/zone_list.h"

#include <limits>

#include "common/number_format.h"

namespace zoneloads {
namespace {

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of `c` as a digit of `base`, or -1.
int digitValue(int c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d < base ? d : -1;
}

// Reads the digits of `base` that follow, into `number` (the magnitude stops
// growing once it is past the int32 range: only that it is past matters).
void readDigits(std::istream& in, int base, std::uint64_t& magnitude, std::string& text) {
    const std::uint64_t pastRange = std::uint64_t{1} << 32;
    for (int d; (d = digitValue(in.peek(), base)) >= 0;) {
        text += static_cast<char>(in.get());
        if (magnitude < pastRange) magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
}

}  // namespace

ListToken readListNumber(std::istream& in, ListNumber& number) {
    while (isSpace(in.peek())) in.get();
    if (in.peek() == std::char_traits<char>::eof()) return ListToken::end;

    number.text.clear();
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        number.text += static_cast<char>(in.get());
    }
    std::uint64_t magnitude = 0;
    if (in.peek() == '0') {
        number.text += static_cast<char>(in.get());
        if (in.peek() == 'x' || in.peek() == 'X') {
            number.text += static_cast<char>(in.get());
            if (digitValue(in.peek(), 16) < 0) return ListToken::bad;  // "0x" without a digit
            readDigits(in, 16, magnitude, number.text);
        } else {
            readDigits(in, 8, magnitude, number.text);
        }
    } else {
        if (digitValue(in.peek(), 10) < 0) return ListToken::bad;
        readDigits(in, 10, magnitude, number.text);
    }

    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    number.fits = magnitude <= limit;
    std::int64_t signedValue = static_cast<std::int64_t>(magnitude);
    number.value = negative ? -signedValue : signedValue;
    return ListToken::number;
}

ListScan scanZoneList(std::istream& in, int32 zoneCount, std::vector<int32>& slots,
                      std::string& offending) {
    slots.assign(slots.size(), -1);
    bool walkEnded = false;  // a negative number was met: the report stops there
    ListNumber number;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        ListToken token = readListNumber(in, number);
        if (token == ListToken::end) break;
        if (token == ListToken::bad) return ListScan::badToken;

        bool negative = number.value < 0;
        if (!walkEnded && !negative && (!number.fits || number.value >= zoneCount)) {
            offending = number.fits ? int32Text(static_cast<int32>(number.value)) : number.text;
            return ListScan::outOfRange;
        }
        walkEnded = walkEnded || negative;
        if (number.fits) {
            slots[k] = static_cast<int32>(number.value);
        } else {
            slots[k] = negative ? std::numeric_limits<int32>::min() : std::numeric_limits<int32>::max();
        }
    }
    return ListScan::ok;
}

}  // namespace zoneloads
