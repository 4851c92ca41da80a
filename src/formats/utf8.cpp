#include "formats/utf8.h"

#include <algorithm>
#include <cstdint>

namespace qm4250 {

void AppendUtf8(char32_t c, std::string& utf8) {
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        const char bytes[] = {static_cast<char>(0xC0 | c >> 6),
                              static_cast<char>(0x80 | (c & 0x3F))};
        utf8.append(bytes, sizeof bytes);
    } else if (c < 0x10000) {
        const char bytes[] = {static_cast<char>(0xE0 | c >> 12),
                              static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (c & 0x3F))};
        utf8.append(bytes, sizeof bytes);
    } else {
        const char bytes[] = {
            static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        utf8.append(bytes, sizeof bytes);
    }
}

std::string Latin1ToUtf8(std::string_view latin1) {
    // Instrument text is nearly always ASCII, which is UTF-8 already: copy it in one go.
    auto firstHigh = std::find_if(latin1.begin(), latin1.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    std::string utf8(latin1.begin(), firstHigh);
    if (firstHigh == latin1.end())
        return utf8;
    utf8.reserve(2 * latin1.size());
    for (auto c = firstHigh; c != latin1.end(); ++c)
        AppendUtf8(static_cast<unsigned char>(*c), utf8);
    return utf8;
}

namespace {

int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        int length = SequenceLength(lead);
        uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (codePoint < 0x10000) {
            utf16 += static_cast<char16_t>(codePoint);
        } else {
            codePoint -= 0x10000;
            utf16 += static_cast<char16_t>(0xD800 | (codePoint >> 10));
            utf16 += static_cast<char16_t>(0xDC00 | (codePoint & 0x3FF));
        }
    }
    return utf16;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (char c : utf8) {
        auto byte = static_cast<uint8_t>(c);
        units += (byte & 0xC0) != 0x80;  // a character starts
        units += byte >= 0xF0;           // past U+FFFF: a surrogate pair
    }
    return units;
}

bool IsUtf8(std::string_view text) {
    // Cells are nearly always ASCII: pass over it in one go.
    size_t at = static_cast<size_t>(
        std::find_if(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) -
        text.begin());
    while (at < text.size()) {
        uint8_t lead = static_cast<uint8_t>(text[at]);
        size_t length = lead < 0x80         ? 1
                        : lead >> 5 == 0x6  ? 2
                        : lead >> 4 == 0xE  ? 3
                        : lead >> 3 == 0x1E ? 4
                                            : 0;
        if (length == 0 || text.size() - at < length)
            return false;
        uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            uint8_t next = static_cast<uint8_t>(text[at + k]);
            if (next >> 6 != 0x2)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        at += length;
    }
    return true;
}

}  // namespace qm4250
