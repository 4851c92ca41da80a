#pragma once

#include <cstddef>

namespace qm4250 {

// The longest text a worksheet cell holds, in an .xls and an .xlsx alike: 32,767 characters,
// counted as Excel counts them, in UTF-16 code units (Utf16Length).
inline constexpr size_t kMaxCellCharacters = 32'767;

}  // namespace qm4250
