#pragma once

#include <cstddef>

namespace qm4250 {

// At most this many sheets, of any kind, in a workbook that is read: Excel's own limit is the
// memory it has, and no workbook of tests comes near. A sheet's name has at most 31 characters
// (UTF-16 code units), as Excel allows.
inline constexpr size_t kMaxSheets = 10'000;
inline constexpr size_t kMaxSheetNameUnits = 31;

}  // namespace qm4250
