#include "dialogue/zone_list.h"

#include <limits>
#include <string>

#include "common/number_format.h"

namespace zoneloads {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();
constexpr char kNotAscii = '\x80';  // stands for a UTF-16 character beyond ASCII

// Looks for a byte-order mark once the first three bytes (or the whole file,
// if shorter) are there. Returns false while more bytes are needed.
bool skipByteOrderMark(ListInput& in) {
    if (in.started) return true;
    if (in.pending.size() < 3 && !in.finished) return false;
    in.started = true;
    if (in.pending.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        in.pending.erase(0, 3);
    } else if (in.pending.compare(0, 2, "\xFF\xFE") == 0) {
        in.utf16 = true;
        in.pending.erase(0, 2);
    }
    return true;
}

// Moves the whole UTF-16LE code units of `in.pending` into `in.text`, one
// character each; an odd byte at the end of the file is a character too.
void decodeUtf16(ListInput& in) {
    std::size_t units = in.pending.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        unsigned unit = static_cast<unsigned char>(in.pending[2 * i]) |
                        static_cast<unsigned>(static_cast<unsigned char>(in.pending[2 * i + 1])) << 8;
        in.text += unit < 0x80 ? static_cast<char>(unit) : kNotAscii;
    }
    in.pending.erase(0, 2 * units);
    if (in.finished && !in.pending.empty()) {
        in.text += kNotAscii;
        in.pending.clear();
    }
}

// Reads blocks of the file until there are characters to scan or the file
// has ended.
void fill(ListInput& in) {
    in.text.clear();
    in.at = 0;
    while (in.text.empty() && in.file && !in.finished) {
        char block[4096];
        std::size_t got = std::fread(block, 1, sizeof block, in.file);
        if (got < sizeof block) {  // fread stops short only at the end or on an error
            in.finished = true;
            in.readError = std::ferror(in.file) != 0;
        }
        in.pending.append(block, got);
        if (!skipByteOrderMark(in)) continue;
        if (in.utf16) {
            decodeUtf16(in);
        } else {
            in.text.swap(in.pending);
            in.pending.clear();
        }
    }
}

// The next character without taking it, or kEnd.
int peekChar(ListInput& in) {
    if (in.at >= in.text.size()) fill(in);
    return in.at < in.text.size() ? static_cast<unsigned char>(in.text[in.at]) : kEnd;
}

int getChar(ListInput& in) {
    int c = peekChar(in);
    if (c != kEnd) ++in.at;
    return c;
}

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The value of `c` as a digit of `base`, or -1.
int digitValue(int c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

// Reads the digits of `base` that follow into `magnitude`, and appends them
// to `text` as written. The magnitude stops growing once it is past the int32
// range: only that it is past matters.
void readDigits(ListInput& in, int base, std::uint64_t& magnitude, std::string& text) {
    const std::uint64_t pastRange = std::uint64_t{1} << 32;
    for (int d; (d = digitValue(peekChar(in), base)) >= 0;) {
        text += static_cast<char>(getChar(in));
        if (magnitude < pastRange) magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
}

enum class ListToken { number, end, bad };

// One number read from a zone-list file. `value` is exact when `fits` is true;
// otherwise the number lies beyond the int32 range on the side of its sign.
struct ListNumber {
    std::int64_t value;
    bool fits;
    std::string text;  // as written in the file, sign included
};

// Skips white space and reads the next number. Returns `end` at the end of
// the input and `bad` when what follows cannot be read as a number; a bad
// token is left where it stands, as "%i" leaves it.
ListToken readListNumber(ListInput& in, ListNumber& number) {
    while (isSpace(peekChar(in))) getChar(in);
    if (peekChar(in) == kEnd) return ListToken::end;

    number.text.clear();
    bool negative = false;
    if (peekChar(in) == '+' || peekChar(in) == '-') {
        negative = peekChar(in) == '-';
        number.text += static_cast<char>(getChar(in));
    }
    std::uint64_t magnitude = 0;
    if (peekChar(in) == '0') {
        number.text += static_cast<char>(getChar(in));
        if (peekChar(in) == 'x' || peekChar(in) == 'X') {
            number.text += static_cast<char>(getChar(in));
            if (digitValue(peekChar(in), 16) < 0) return ListToken::bad;  // "0x" without a digit
            readDigits(in, 16, magnitude, number.text);
        } else {
            readDigits(in, 8, magnitude, number.text);
        }
    } else {
        if (digitValue(peekChar(in), 10) < 0) return ListToken::bad;
        readDigits(in, 10, magnitude, number.text);
    }

    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    number.fits = magnitude <= limit;
    std::int64_t signedValue = static_cast<std::int64_t>(magnitude);
    number.value = negative ? -signedValue : signedValue;
    return ListToken::number;
}

}  // namespace

ListInput listFromText(const std::string& text) {
    ListInput in;
    in.pending = text;
    in.finished = true;
    skipByteOrderMark(in);
    if (in.utf16) {
        decodeUtf16(in);
    } else {
        in.text.swap(in.pending);
    }
    return in;
}

ListScan scanZoneList(ListInput& in, int32 zoneCount, std::vector<int32>& slots, std::string& offending) {
    slots.assign(slots.size(), -1);
    bool walkEnded = false;  // a negative number was met: the report stops there
    ListNumber number;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        ListToken token = readListNumber(in, number);
        if (token == ListToken::end) return in.readError ? ListScan::readError : ListScan::ok;
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
