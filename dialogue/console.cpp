#include "dialogue/console.h"

namespace zoneloads {

bool askWord(std::istream& in, std::ostream& out, const char* prompt, std::string& word, bool first) {
    out << prompt << std::flush;
    const char kMark[] = "\xEF\xBB\xBF";
    bool markPossible = first && in.peek() == 0xEF;  // peeked only after the prompt shows
    if (!(in >> word)) return false;
    if (markPossible && word.compare(0, 3, kMark) == 0) {
        word.erase(0, 3);
        if (word.empty()) return static_cast<bool>(in >> word);  // the mark stood alone
    }
    return true;
}

bool askName(std::istream& in, std::ostream& out, const char* prompt, std::string& name, bool first) {
    if (askWord(in, out, prompt, name, first) && name.find('\0') == std::string::npos) return true;
    writeLine(out, kBadAnswer);
    return false;
}

void writeLine(std::ostream& out, const std::string& text) { out << text << std::endl; }

}  // namespace zoneloads
