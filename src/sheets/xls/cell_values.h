#pragma once

#include <cstdint>
#include <string>

namespace qm4250 {

// A number as its shortest decimal text that reads back to the same double: 17, 0.25, 1e+21.
std::string NumberText(double value);

// The number an RK value packs: a 30-bit integer or the high 30 bits of a double, either
// possibly to be divided by 100.
double RkNumber(uint32_t rk);

// A BOOLERR cell as Excel shows it: TRUE, FALSE or an error such as #DIV/0!. Null for an error
// code Excel does not have.
const char* BoolErrText(uint8_t value, bool isError);

// A cell's name as Excel shows it: column letters, then the row counted from 1 ("AB12").
std::string CellName(uint16_t row, uint16_t column);

}  // namespace qm4250
