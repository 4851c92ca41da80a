#include "protocol/field_format.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

using namespace qm4250;

namespace {

using namespace std::chrono;

struct TimeCase {
    long long seconds;
    const char* text;
};

class FormatTimeDateTable : public testing::TestWithParam<TimeCase> {};

TEST_P(FormatTimeDateTable, GivesTheCalendarText) {
    EXPECT_EQ(FormatTimeDate(std::to_string(GetParam().seconds)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Seconds, FormatTimeDateTable,
    testing::Values(
        TimeCase{0, "Jan 01/04 00:00:00"}, TimeCase{59, "Jan 01/04 00:00:59"},
        TimeCase{86399, "Jan 01/04 23:59:59"}, TimeCase{5097600, "Feb 29/04 00:00:00"},
        TimeCase{31622399, "Dec 31/04 23:59:59"}, TimeCase{31622400, "Jan 01/05 00:00:00"},
        TimeCase{36720000, "Mar 01/05 00:00:00"}, TimeCase{126230399, "Dec 31/07 23:59:59"},
        TimeCase{126230400, "Jan 01/08 00:00:00"}, TimeCase{694224000, "Dec 31/25 00:00:00"},
        TimeCase{2147483647, "Jan 19/72 03:14:07"},
        // Before 2004 the clock is wrong, but the text still names the true date.
        TimeCase{-1, "Dec 31/03 23:59:59"}, TimeCase{-2147483648LL, "Dec 13/35 20:45:52"}));

// The same text computed independently, from the standard library's civil calendar.
std::string CivilText(long long t) {
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    sys_seconds when = sys_days{year{2004} / January / 1} + seconds{t};
    sys_days day = floor<days>(when);
    year_month_day ymd{day};
    hh_mm_ss clock{when - day};
    char text[40];
    std::snprintf(text, sizeof text, "%s %02u/%02d %02ld:%02ld:%02lld",
                  kMonths[unsigned(ymd.month()) - 1], unsigned(ymd.day()), int(ymd.year()) % 100,
                  long(clock.hours().count()), long(clock.minutes().count()),
                  static_cast<long long>(clock.seconds().count()));
    return text;
}

TEST(FormatTimeDate, AgreesWithTheCivilCalendarAtEveryMidnight) {
    for (long long t = 0; t <= INT32_MAX; t += 86400)
        ASSERT_EQ(FormatTimeDate(std::to_string(t)), CivilText(t));
}

TEST(FormatTimeDate, AgreesWithTheCivilCalendarAcrossTheWholeRange) {
    // A prime stride visits every hour, minute and second position many times over.
    for (long long t = INT32_MIN; t <= INT32_MAX; t += 7919)
        ASSERT_EQ(FormatTimeDate(std::to_string(t)), CivilText(t)) << t;
}

TEST(FormatTimeDate, FailsOnTextThatIsNotA32BitNumber) {
    for (const char* text : {"", "abc", "2147483648", "-2147483649", "12x", "1e5"})
        EXPECT_EQ(FormatTimeDate(text), std::nullopt) << '"' << text << '"';
}

TEST(FormatTimeDate, RoundsAFractionHalfToEven) {
    EXPECT_EQ(FormatTimeDate("58.5"), "Jan 01/04 00:00:58");
    EXPECT_EQ(FormatTimeDate(" 59 "), "Jan 01/04 00:00:59");
}

struct PadCase {
    const char* text;
    int width;
    const char* padded;
    const char* paddedRight;
};

class PadTable : public testing::TestWithParam<PadCase> {};

TEST_P(PadTable, PadsWithoutCutting) {
    EXPECT_EQ(Pad(GetParam().text, GetParam().width), GetParam().padded);
    EXPECT_EQ(PadRight(GetParam().text, GetParam().width), GetParam().paddedRight);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, PadTable,
    testing::Values(PadCase{"abc", 5, "  abc", "abc  "}, PadCase{"abcdef", 5, "abcdef", "abcdef"},
                    PadCase{"abcde", 5, "abcde", "abcde"}, PadCase{"abc", 0, "abc", "abc"},
                    PadCase{"abc", -4, "abc", "abc"}, PadCase{"", 4, "    ", "    "}));

struct RelayCase {
    const char* text;
    bool powerUp;
    const char* bits[4];
};

class RelayTextTable : public testing::TestWithParam<RelayCase> {};

TEST_P(RelayTextTable, DecodesFlagAndBits) {
    std::optional<RelayBits> relays = RelayText(GetParam().text);
    ASSERT_TRUE(relays.has_value());
    EXPECT_EQ(relays->powerUp, GetParam().powerUp);
    for (int bit = 1; bit <= 4; ++bit)
        EXPECT_STREQ(relays->bit[bit], GetParam().bits[bit - 1]) << "bit " << bit;
}

INSTANTIATE_TEST_SUITE_P(Values, RelayTextTable,
                         testing::Values(RelayCase{"0", false, {"Off", "Off", "Off", "Off"}},
                                         RelayCase{"1", true, {"Off", "Off", "Off", "Off"}},
                                         RelayCase{"2", false, {"On", "Off", "Off", "Off"}},
                                         RelayCase{"28", false, {"Off", "On", "On", "On"}},
                                         RelayCase{"31", true, {"On", "On", "On", "On"}},
                                         RelayCase{"32", false, {"Off", "Off", "Off", "Off"}},
                                         RelayCase{"48", false, {"Off", "Off", "Off", "On"}},
                                         RelayCase{"-1", false, {"Off", "Off", "Off", "Off"}},
                                         RelayCase{"-32768", false, {"Off", "Off", "Off", "Off"}},
                                         RelayCase{"32767", true, {"On", "On", "On", "On"}}));

TEST(RelayText, FailsOutsideThe16BitRangeOrOnText) {
    for (const char* text : {"32768", "-32769", "", "On", "0x1c"})
        EXPECT_EQ(RelayText(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
