#include "dialogue/console.h"

#include <filesystem>
#include <system_error>

#include "common/platform.h"
#include "common/text_encoding.h"

namespace zoneloads {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();

// Takes from `in` the bytes of `mark` while they match, peeking first so that
// no byte past a mismatch is taken. True when the whole mark was there;
// otherwise `taken` holds the bytes taken.
bool takeMark(std::istream& in, const char* mark, std::string& taken) {
    for (const char* m = mark; *m; ++m) {
        if (in.peek() != static_cast<unsigned char>(*m)) return false;
        taken += static_cast<char>(in.get());
    }
    return true;
}

// Looks at the start of the answers for a byte-order mark.
void lookForMark(Answers& answers) {
    answers.started = true;
    std::istream& in = *answers.in;
    std::string taken;
    if (takeMark(in, "\xEF\xBB\xBF", taken)) return;
    if (taken.empty() && takeMark(in, "\xFF\xFE", taken)) {
        answers.encoding = AnswerEncoding::utf16le;
    } else if (taken.empty() && takeMark(in, "\xFE\xFF", taken)) {
        answers.encoding = AnswerEncoding::utf16be;
    } else {
        answers.ahead = taken;  // the first bytes of the first answer
    }
}

// Reads one UTF-16 code unit into `unit`; false at the end of the answers,
// and a single byte left there is malformed.
bool readUnit(Answers& answers, char32_t& unit) {
    int first = answers.in->get();
    if (first == kEnd) return false;
    int second = answers.in->get();
    if (second == kEnd) {
        answers.malformed = true;
        return false;
    }
    bool little = answers.encoding == AnswerEncoding::utf16le;
    unit = static_cast<char32_t>(little ? first | second << 8 : first << 8 | second);
    return true;
}

// Decodes the next UTF-16 character into `answers.ahead` as UTF-8; nothing at
// the end or at a malformed unit.
void decodeCharacter(Answers& answers) {
    char32_t unit;
    if (!readUnit(answers, unit)) return;
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high) {
        char32_t second;
        if (!readUnit(answers, second) || second < 0xDC00 || second > 0xDFFF) {
            answers.malformed = true;
            return;
        }
        unit = 0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00);
    } else if (low) {
        answers.malformed = true;
        return;
    }
    appendUtf8(answers.ahead, unit);
}

// The next byte of the answers without taking it, or kEnd.
int peekByte(Answers& answers) {
    if (answers.at < answers.ahead.size()) return static_cast<unsigned char>(answers.ahead[answers.at]);
    answers.ahead.clear();
    answers.at = 0;
    if (answers.ended || answers.malformed) return kEnd;
    if (answers.encoding != AnswerEncoding::bytes) {
        decodeCharacter(answers);
        return answers.ahead.empty() ? kEnd : static_cast<unsigned char>(answers.ahead[0]);
    }
    int c = answers.in->peek();
    if (c == 0x1A && answers.endAtCtrlZ) answers.ended = true;
    return answers.ended ? kEnd : c;
}

// The next byte of the answers, taken, or kEnd.
int getByte(Answers& answers) {
    int c = peekByte(answers);
    if (c == kEnd) return kEnd;
    if (answers.at < answers.ahead.size()) {
        ++answers.at;
    } else {
        answers.in->get();
    }
    return c;
}

// The white space of the C locale, which separated answers ever since they
// were read as words.
bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The rest of an answer after its opening quote.
bool readQuoted(Answers& answers, std::string& word) {
    for (int c; (c = getByte(answers)) != '"';) {
        if (c == kEnd || c == '\n') return false;  // never closed on its line
        word += static_cast<char>(c);
    }
    int next = peekByte(answers);
    return !answers.malformed && (next == kEnd || isSpace(next));
}

}  // namespace

bool askWord(Answers& answers, std::ostream& out, const char* prompt, std::string& word) {
    out << prompt << std::flush;
    if (!answers.started) lookForMark(answers);  // only once the prompt shows: a typed answer waits for it
    word.clear();
    while (isSpace(peekByte(answers))) getByte(answers);
    int c = getByte(answers);
    if (c == kEnd) return false;
    if (c == '"') return readQuoted(answers, word);
    word += static_cast<char>(c);
    while ((c = peekByte(answers)) != kEnd && !isSpace(c)) word += static_cast<char>(getByte(answers));
    return !answers.malformed;
}

bool askName(Answers& answers, std::ostream& out, const char* prompt, std::string& name) {
    if (askWord(answers, out, prompt, name) && !name.empty() && name.find('\0') == std::string::npos) return true;
    writeLine(out, kBadAnswer);
    return false;
}

FileName answeredFile(const std::string& answer) {
    FileName name(answer);
    std::error_code ignored;
    if (std::filesystem::exists(name.path, ignored)) return name;
    std::filesystem::path oem = oemCodePagePath(answer);
    if (!oem.empty() && std::filesystem::exists(oem, ignored)) name.path = oem;
    return name;
}

void writeLine(std::ostream& out, const std::string& text) { out << text << std::endl; }

}  // namespace zoneloads
