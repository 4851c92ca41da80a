#include "archive/copy_text_rows.h"

#include <charconv>

namespace qm4250 {

void CopyTextRows::text(std::string_view utf8) {
    startField();
    for (char c : utf8) {
        switch (c) {
            case '\\':
                bytes_ += "\\\\";
                break;
            case '\t':
                bytes_ += "\\t";
                break;
            case '\n':
                bytes_ += "\\n";
                break;
            case '\r':
                bytes_ += "\\r";
                break;
            default:
                bytes_ += c;
        }
    }
}

void CopyTextRows::integer(int64_t value) {
    startField();
    char digits[24];
    bytes_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void CopyTextRows::real(std::optional<double> value) {
    startField();
    if (!value) {
        bytes_ += "\\N";
        return;
    }
    char digits[32];
    bytes_.append(digits, std::to_chars(digits, digits + sizeof digits, *value).ptr);
}

void CopyTextRows::endRow() {
    bytes_ += '\n';
    rowStarted_ = false;
}

void CopyTextRows::startField() {
    if (rowStarted_)
        bytes_ += '\t';
    rowStarted_ = true;
}

}  // namespace qm4250
