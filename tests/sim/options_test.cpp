#include "options.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "instrument_clock.h"

namespace {

using Args = std::vector<std::string_view>;

sim::Options Parsed(const Args& args) {
    sim::ParsedOptions parsed = sim::ParseOptions(args);
    EXPECT_EQ(parsed.error, "");
    return parsed.options;
}

TEST(Options, ReadsValuesThatNeedParsing) {
    // clang-format off
    sim::Options options = Parsed({
        "--model", "q", "--records", "0", "--mode", "3", "--baud", "0",
        "--pause-after", "0", "750", "--pause-after", "5", "2000", "--noise", "0.25",
        "--garble", "4:time", "--garble", "6", "--hangup-after", "9", "--stray-etx",
        "--start", "2004-02-29", "--spacing", "2147483647", "--version"});
    // clang-format on
    EXPECT_EQ(options.model, 'q');
    EXPECT_EQ(options.records, 0);
    EXPECT_EQ(options.mode, '3');
    EXPECT_EQ(options.baud, 0);
    ASSERT_EQ(options.pauses.size(), 2u);
    EXPECT_EQ(options.pauses[1].record, 5);
    EXPECT_EQ(options.pauses[1].milliseconds, 2000);
    EXPECT_EQ(options.noiseRate, 0.25);
    ASSERT_EQ(options.garbles.size(), 2u);
    EXPECT_EQ(options.garbles[0].record, 4);
    EXPECT_EQ(options.garbles[0].kind, sim::GarbleKind::kBadTime);
    EXPECT_EQ(options.garbles[1].kind, sim::GarbleKind::kFewerFields);
    EXPECT_EQ(options.hangupAfter, 9);
    EXPECT_TRUE(options.strayEtx);
    EXPECT_EQ(options.start, 59 * 86400) << "2004 is a leap year";
    EXPECT_EQ(options.spacing, 2147483647);
    EXPECT_TRUE(options.version);
    EXPECT_EQ(Parsed({"--start", "2072-01-18"}).start,
              sim::kLatestTimeStamp - (3 * 3600 + 14 * 60 + 7) - 86400);
}

class BadCommandLine : public testing::TestWithParam<Args> {};

TEST_P(BadCommandLine, IsRefusedWithAReason) {
    EXPECT_NE(sim::ParseOptions(GetParam()).error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLine,
    testing::Values(Args{"--bogus"}, Args{"records"}, Args{"--model"}, Args{"--model", "SQ"},
                    Args{"--model", ""}, Args{"--records", "-1"}, Args{"--records", "x"},
                    Args{"--records", "12x"}, Args{"--baud", "9600.5"}, Args{"--noise", "1.5"},
                    Args{"--noise", "-0.1"}, Args{"--garble", "0"}, Args{"--garble", "3:bogus"},
                    Args{"--version", "1"}, Args{"--garble", ":time"}, Args{"--pause-after", "3"},
                    Args{"--pause-after", "3", "-5"}, Args{"--mode", "4"}, Args{"--mode", "?"},
                    Args{"--hangup-after", "-2"}, Args{"--seed", "-1"},
                    Args{"--start", "2003-12-31"}, Args{"--start", "2072-01-19"},
                    Args{"--start", "2023-02-29"}, Args{"--start", "2024-13-01"},
                    Args{"--start", "2024-00-10"}, Args{"--start", "2024-1-01"},
                    Args{"--start", "20240101"}, Args{"--start", "2024-01-01x"},
                    Args{"--start", "2024/01/01"}, Args{"--start", ""}, Args{"--start"},
                    Args{"--spacing", "0"}, Args{"--spacing", "-60"}, Args{"--spacing", "1.5"},
                    Args{"--spacing", "2147483648"}, Args{"--spacing", "60s"},
                    Args{"--serial",
                         "4\x03"
                         "2"}));

}  // namespace
