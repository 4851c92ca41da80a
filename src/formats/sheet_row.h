#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qm4250 {

// One sheet row, columns A to I. An empty text is a cell left blank.
using SheetRow = std::array<std::string, 9>;

// Column A of the row after a test that reports a power-up; the row's other cells are blank.
inline constexpr std::string_view kPowerUpMarker = "QM 4250 Power UP";

}  // namespace qm4250
