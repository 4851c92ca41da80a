#include "sheets/xls/text_decoding.h"

#include <cstdint>

#include "sheets/xls/byte_fields.h"

namespace qm4250 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(std::string& utf8, char32_t c) {
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

}  // namespace

void TextDecoder::appendCompressed(std::string& utf8, std::string_view bytes) {
    finish(utf8);
    // Runs of ASCII, the usual text, go in whole.
    size_t at = 0;
    while (at < bytes.size()) {
        size_t ascii = at;
        while (ascii < bytes.size() && static_cast<uint8_t>(bytes[ascii]) < 0x80)
            ++ascii;
        utf8.append(bytes, at, ascii - at);
        if (ascii < bytes.size())
            AppendCodePoint(utf8, static_cast<uint8_t>(bytes[ascii++]));
        at = ascii;
    }
}

void TextDecoder::appendWide(std::string& utf8, std::string_view bytes) {
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char16_t unit = U16At(bytes.data() + at);
        if (pendingHigh_ && IsLowSurrogate(unit)) {
            AppendCodePoint(utf8, 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (unit - 0xDC00));
            pendingHigh_ = 0;
            continue;
        }
        finish(utf8);
        if (IsHighSurrogate(unit))
            pendingHigh_ = unit;
        else
            AppendCodePoint(utf8, IsLowSurrogate(unit) ? kReplacement : char32_t{unit});
    }
}

void TextDecoder::finish(std::string& utf8) {
    if (pendingHigh_)
        AppendCodePoint(utf8, kReplacement);
    pendingHigh_ = 0;
}

}  // namespace qm4250
