#include "protocol/decimal_text.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qm4250;

namespace {

struct DecimalCase {
    const char* text;
    std::optional<int64_t> rounded;
    bool whole;
};

class DecimalTextTest : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTextTest, ParsesAndRoundsHalfToEven) {
    const DecimalCase& c = GetParam();
    std::optional<DecimalValue> value = ParseDecimal(c.text);
    ASSERT_EQ(value.has_value(), c.rounded.has_value()) << '"' << c.text << '"';
    if (!value)
        return;
    EXPECT_EQ(value->rounded, *c.rounded) << '"' << c.text << '"';
    EXPECT_EQ(value->whole, c.whole) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalTextTest,
    testing::Values(
        DecimalCase{"3", 3, true}, DecimalCase{"  3  ", 3, true}, DecimalCase{"+3", 3, true},
        DecimalCase{"-1", -1, true}, DecimalCase{"3.00", 3, true}, DecimalCase{"3.", 3, true},
        DecimalCase{".5", 0, false}, DecimalCase{"2.5", 2, false}, DecimalCase{"3.5", 4, false},
        DecimalCase{"-2.5", -2, false}, DecimalCase{"-3.5", -4, false},
        DecimalCase{"2.50001", 3, false}, DecimalCase{"2.49999", 2, false},
        DecimalCase{"007", 7, true}, DecimalCase{"999999999999999999", 999999999999999999, true},
        DecimalCase{"0000000000000000000001", 1, true},
        DecimalCase{"1000000000000000000", std::nullopt, false},
        DecimalCase{"", std::nullopt, false}, DecimalCase{"   ", std::nullopt, false},
        DecimalCase{".", std::nullopt, false}, DecimalCase{"-", std::nullopt, false},
        DecimalCase{"three", std::nullopt, false}, DecimalCase{"1e3", std::nullopt, false},
        DecimalCase{"1,5", std::nullopt, false}, DecimalCase{"1 2", std::nullopt, false},
        DecimalCase{"--1", std::nullopt, false}, DecimalCase{"1.2.3", std::nullopt, false},
        DecimalCase{"\x03", std::nullopt, false}));

TEST(DecimalToInteger, HonoursRangeAfterRounding) {
    EXPECT_EQ(DecimalToInteger("32767", INT16_MIN, INT16_MAX), 32767);
    EXPECT_EQ(DecimalToInteger("32767.4", INT16_MIN, INT16_MAX), 32767);
    EXPECT_EQ(DecimalToInteger("32767.5", INT16_MIN, INT16_MAX), std::nullopt);
    EXPECT_EQ(DecimalToInteger("-32768", INT16_MIN, INT16_MAX), -32768);
    EXPECT_EQ(DecimalToInteger("-32769", INT16_MIN, INT16_MAX), std::nullopt);
}

TEST(DecimalEquals, MatchesOnlyTheExactWholeValue) {
    EXPECT_TRUE(DecimalEquals("3", 3));
    EXPECT_TRUE(DecimalEquals(" 3.0 ", 3));
    EXPECT_TRUE(DecimalEquals("0", 0));
    EXPECT_TRUE(DecimalEquals("-0", 0));
    EXPECT_FALSE(DecimalEquals("2.5", 2));
    EXPECT_FALSE(DecimalEquals("3.1", 3));
    EXPECT_FALSE(DecimalEquals("", 0));
    EXPECT_FALSE(DecimalEquals("-1", 1));
}

}  // namespace
