#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm4250 {

// Appends the UTF-8 bytes of a code point, U+0000 to U+10FFFF.
void AppendUtf8(char32_t codePoint, std::string& utf8);

// Received text is single bytes: each byte is the Latin-1 character of the same number.
std::string Latin1ToUtf8(std::string_view latin1);

// The UTF-16 code units of valid UTF-8 text (as made by Latin1ToUtf8 or written in the source).
std::u16string Utf8ToUtf16(std::string_view utf8);

// The length of valid UTF-8 text as Excel counts it, in UTF-16 code units: a character past U+FFFF
// counts two.
size_t Utf16Length(std::string_view utf8);

// UTF-8 as the standard has it: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text);

}  // namespace qm4250
