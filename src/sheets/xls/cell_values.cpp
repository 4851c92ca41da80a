#include "sheets/xls/cell_values.h"

#include <algorithm>
#include <bit>
#include <charconv>

namespace qm4250 {

std::string NumberText(double value) {
    char text[32];  // the longest shortest form of a double takes 24
    std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

double RkNumber(uint32_t rk) {
    constexpr uint32_t kDividedBy100 = 0x1;
    constexpr uint32_t kInteger = 0x2;
    double value = (rk & kInteger) ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                                   : std::bit_cast<double>(uint64_t{rk & 0xFFFFFFFC} << 32);
    return (rk & kDividedBy100) ? value / 100 : value;
}

const char* BoolErrText(uint8_t value, bool isError) {
    if (!isError)
        return value ? "TRUE" : "FALSE";
    switch (value) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
    }
    return nullptr;
}

std::string CellName(uint16_t row, uint16_t column) {
    std::string name;
    // Columns count A to Z, then AA: base 26 without a zero digit.
    for (unsigned n = column + 1u; n > 0; n = (n - 1) / 26)
        name += static_cast<char>('A' + (n - 1) % 26);
    std::reverse(name.begin(), name.end());
    return name + std::to_string(row + 1u);
}

}  // namespace qm4250
