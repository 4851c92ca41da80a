#pragma once

#include <cstdint>
#include <string_view>

namespace qm4250 {

// Whether a built-in number format shows a date or time: 14 to 22 and 45 to 47 everywhere, and 27
// to 36 and 50 to 58, which are dates and times in the Chinese, Japanese and Korean versions of
// Excel (and undefined in the others).
bool IsBuiltInDateFormat(uint32_t id);

// Whether a number format code shows a date or time: whether it has a date or time token (d, m,
// y, h, s, e, g, AM/PM, A/P, or elapsed time [h], [mm], [ss]) anywhere but in quoted text, after
// a backslash, "_" or "*" (which escape, pad and fill with the character after them), or in other
// brackets ([Red], [$-409], [>100]). "General" and an exponent ("0.0E+00") are no tokens.
bool IsDateFormatCode(std::string_view code);

}  // namespace qm4250
