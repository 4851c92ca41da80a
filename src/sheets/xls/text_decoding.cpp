#include "sheets/xls/text_decoding.h"

#include <cstdint>

#include "formats/utf8.h"
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
            AppendUtf8(static_cast<uint8_t>(bytes[ascii++]), utf8);
        at = ascii;
    }
}

void TextDecoder::appendWide(std::string& utf8, std::string_view bytes) {
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char16_t unit = U16At(bytes.data() + at);
        if (pendingHigh_ && IsLowSurrogate(unit)) {
            AppendUtf8(0x10000 + ((pendingHigh_ - 0xD800) << 10) + (unit - 0xDC00), utf8);
            pendingHigh_ = 0;
            continue;
        }
        finish(utf8);
        if (IsHighSurrogate(unit))
            pendingHigh_ = unit;
        else
            AppendUtf8(IsLowSurrogate(unit) ? kReplacement : char32_t{unit}, utf8);
    }
}

void TextDecoder::finish(std::string& utf8) {
    if (pendingHigh_)
        AppendUtf8(kReplacement, utf8);
    pendingHigh_ = 0;
}

}  // namespace qm4250
