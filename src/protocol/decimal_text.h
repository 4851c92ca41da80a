#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm4250 {

// A number typed by a person or sent by the instrument as decimal text: optional blanks around
// it, an optional sign, digits, and an optional decimal point with a fraction. Nothing else
// (no exponent, no hex, no thousands separator) counts as a number.
struct DecimalValue {
    int64_t rounded;  // rounded to the nearest whole number, a half to the even neighbour
    bool whole;       // true when the fraction, if any, is all zeros
};

// nullopt when the text is not a number or its magnitude does not fit in 18 digits.
std::optional<DecimalValue> ParseDecimal(std::string_view text);

// The text's value rounded as above, or nullopt when it is not a number or lies outside
// [lowest, highest].
std::optional<int64_t> DecimalToInteger(std::string_view text, int64_t lowest, int64_t highest);

// True when the text is a number whose exact value is the whole number k: "3", " 3 ", "3.00",
// "+3" equal 3; "2.5", "3.1", "" and "three" never equal anything.
bool DecimalEquals(std::string_view text, int64_t k);

}  // namespace qm4250
