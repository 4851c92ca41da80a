#include "sheets/date_format_codes.h"

#include <algorithm>

namespace qm4250 {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithWord(std::string_view text, std::string_view lowerWord) {
    return text.size() >= lowerWord.size() &&
           std::equal(lowerWord.begin(), lowerWord.end(), text.begin(),
                      [](char w, char c) { return w == Lower(c); });
}

// [h], [hh], [m], [mm], [s], [ss]: hours, minutes or seconds counted past a day.
bool IsElapsedTime(std::string_view bracketed) {
    if (bracketed.empty())
        return false;
    char unit = Lower(bracketed[0]);
    return (unit == 'h' || unit == 'm' || unit == 's') &&
           std::all_of(bracketed.begin(), bracketed.end(),
                       [unit](char c) { return Lower(c) == unit; });
}

}  // namespace

bool IsBuiltInDateFormat(uint32_t id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool IsDateFormatCode(std::string_view code) {
    for (size_t at = 0; at < code.size(); ++at) {
        std::string_view rest = code.substr(at);
        switch (Lower(code[at])) {
            case '"': {
                size_t end = code.find('"', at + 1);
                if (end == std::string_view::npos)
                    return false;
                at = end;
                break;
            }
            case '\\':
            case '_':
            case '*':
                ++at;
                break;
            case '[': {
                size_t end = code.find(']', at + 1);
                if (end == std::string_view::npos)
                    return false;
                if (IsElapsedTime(code.substr(at + 1, end - at - 1)))
                    return true;
                at = end;
                break;
            }
            case 'g':
                if (!StartsWithWord(rest, "general"))
                    return true;
                at += 6;
                break;
            case 'e':
                if (rest.size() < 2 || (rest[1] != '+' && rest[1] != '-'))
                    return true;
                break;
            case 'a':
                if (StartsWithWord(rest, "am/pm") || StartsWithWord(rest, "a/p"))
                    return true;
                break;
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's':
                return true;
        }
    }
    return false;
}

}  // namespace qm4250
