#include "cli/escaped_text.h"

#include <cstdio>
#include <limits>

#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr size_t kShownCellCharacters = 40;

// The length of the UTF-8 sequence that begins at `at`, or 0 where none does.
size_t SequenceLength(std::string_view text, size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80 ? 1 : lead >> 5 == 0x6 ? 2 : lead >> 4 == 0xE ? 3 : 4;
    return IsUtf8(text.substr(at, length)) ? length : 0;
}

std::string Hex(const char* format, unsigned value) {
    char hex[8];
    std::snprintf(hex, sizeof hex, format, value);
    return hex;
}

// Escapes at most `characters` characters of `text` (an invalid byte counts as one); whether
// the text was cut is said in `cut`.
std::string Escape(std::string_view text, bool quotes, size_t characters, bool& cut) {
    std::string shown;
    shown.reserve(text.size());
    size_t at = 0;
    for (size_t counted = 0; at < text.size() && counted < characters; ++counted) {
        auto byte = static_cast<unsigned char>(text[at]);
        size_t length = SequenceLength(text, at);
        if (length == 0) {
            shown += Hex("\\x%02X", byte);
            ++at;
            continue;
        }
        auto second = length == 2 ? static_cast<unsigned char>(text[at + 1]) : 0;
        if (byte == '\n') {
            shown += "\\n";
        } else if (byte == '\r') {
            shown += "\\r";
        } else if (byte == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            shown += Hex("\\x%02X", byte);
        } else if (byte == 0xC2 && second < 0xA0) {  // U+0080 to U+009F
            shown += Hex("\\u%04X", second);
        } else if (byte == '\\' || (quotes && byte == '"')) {
            shown += {'\\', static_cast<char>(byte)};
        } else {
            shown.append(text.substr(at, length));
        }
        at += length;
    }
    cut = at < text.size();
    return shown;
}

}  // namespace

std::string EscapedText(std::string_view text) {
    bool cut = false;
    return Escape(text, false, std::numeric_limits<size_t>::max(), cut);
}

std::string ShownCell(std::string_view text) {
    bool cut = false;
    std::string shown = Escape(text, true, kShownCellCharacters, cut);
    return cut ? shown + "…" : shown;
}

std::string ShownError(const ArchiveError& error) {
    return EscapedText(ArchiveErrorText(error).toStdString());
}

}  // namespace qm4250
