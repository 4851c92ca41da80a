#include "protocol/decimal_text.h"

namespace qm4250 {

namespace {

constexpr int kMaxIntegerDigits = 18;  // keeps every accepted value inside int64_t

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// How the discarded fraction compares with one half.
enum class FractionSize { Zero, BelowHalf, Half, AboveHalf };

FractionSize SizeOfFraction(std::string_view digits) {
    if (digits.find_first_not_of('0') == std::string_view::npos)
        return FractionSize::Zero;
    if (digits.front() < '5')
        return FractionSize::BelowHalf;
    if (digits.front() > '5')
        return FractionSize::AboveHalf;
    bool restIsZero = digits.substr(1).find_first_not_of('0') == std::string_view::npos;
    return restIsZero ? FractionSize::Half : FractionSize::AboveHalf;
}

}  // namespace

std::optional<DecimalValue> ParseDecimal(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    size_t point = text.find('.');
    std::string_view integerDigits = text.substr(0, point);
    std::string_view fractionDigits =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (integerDigits.empty() && fractionDigits.empty())
        return std::nullopt;
    for (char c : integerDigits)
        if (!IsDigit(c))
            return std::nullopt;
    for (char c : fractionDigits)
        if (!IsDigit(c))
            return std::nullopt;

    size_t firstSignificant = integerDigits.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos &&
        integerDigits.size() - firstSignificant > kMaxIntegerDigits)
        return std::nullopt;

    int64_t magnitude = 0;
    for (char c : integerDigits)
        magnitude = magnitude * 10 + (c - '0');

    FractionSize fraction =
        fractionDigits.empty() ? FractionSize::Zero : SizeOfFraction(fractionDigits);
    bool roundUp = fraction == FractionSize::AboveHalf ||
                   (fraction == FractionSize::Half && magnitude % 2 == 1);
    if (roundUp)
        ++magnitude;
    return DecimalValue{negative ? -magnitude : magnitude, fraction == FractionSize::Zero};
}

std::optional<int64_t> DecimalToInteger(std::string_view text, int64_t lowest, int64_t highest) {
    std::optional<DecimalValue> value = ParseDecimal(text);
    if (!value || value->rounded < lowest || value->rounded > highest)
        return std::nullopt;
    return value->rounded;
}

bool DecimalEquals(std::string_view text, int64_t k) {
    std::optional<DecimalValue> value = ParseDecimal(text);
    return value && value->whole && value->rounded == k;
}

}  // namespace qm4250
