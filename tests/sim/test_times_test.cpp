#include "test_times.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "instrument_clock.h"

namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
const std::int64_t kWednesday = *sim::DateTimeStamp(2026, 12, 9);
const std::int64_t kClocksLastDay = *sim::DateTimeStamp(2072, 1, 18);

// 06:00 to 22:00 but for the breaks at 10:00 and 18:00.
bool InAShift(std::int64_t time) {
    std::int64_t s = time % kDay;
    return s >= 6 * kHour && s < 22 * kHour && (s < 10 * kHour || s >= 10 * kHour + 30 * kMinute) &&
           (s < 18 * kHour || s >= 18 * kHour + 30 * kMinute);
}

struct EndCase {
    const char* name;
    std::int64_t end;
    std::int64_t earliestLast;  // where the newest test may lie
    std::int64_t latestLast;
};

class HistoryEndingNow : public testing::TestWithParam<EndCase> {};

TEST_P(HistoryEndingNow, RunsInShiftsMinutesApartUpToTheEnd) {
    const EndCase& c = GetParam();
    for (std::uint64_t seed : {1, 2, 99}) {
        std::vector<std::int64_t> times = sim::TestTimes(250, {c.end, {}, {}}, seed);
        EXPECT_EQ(times, sim::TestTimes(250, {c.end, {}, {}}, seed));
        EXPECT_GE(times.back(), c.earliestLast);
        EXPECT_LE(times.back(), c.latestLast);
        EXPECT_TRUE(std::all_of(times.begin(), times.end(), InAShift)) << "none at night";
        std::set<std::int64_t> days{times[0] / kDay};
        int fewMinutes = 0;
        for (std::size_t k = 1; k < times.size(); ++k) {
            days.insert(times[k] / kDay);
            EXPECT_GE(times[k] - times[k - 1], kMinute) << k;
            fewMinutes += times[k] - times[k - 1] <= 6 * kMinute;
        }
        EXPECT_GT(fewMinutes, 200) << "most tests follow the one before within minutes";
        EXPECT_GE(days.size(), 3u) << "a reject rate for several days";
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, HistoryEndingNow,
                         testing::Values(EndCase{"InAShift", kWednesday + 11 * kHour,
                                                 kWednesday + 11 * kHour, kWednesday + 11 * kHour},
                                         EndCase{"AtNight", kWednesday + 3 * kHour,
                                                 kWednesday - 2 * kHour - 5 * kMinute,
                                                 kWednesday - 2 * kHour - 1},
                                         EndCase{"AtTheClocksEnd", sim::kLatestTimeStamp,
                                                 kClocksLastDay + 21 * kHour + 55 * kMinute,
                                                 kClocksLastDay + 22 * kHour - 1}),
                         [](const auto& info) { return info.param.name; });

// Too long a history in shifts keeps to the clock, in order, at the end asked for, in shifts.
TEST(TestTimes, AHistoryTooLongForTheClockIsSqueezedOntoIt) {
    std::int64_t end = *sim::DateTimeStamp(2004, 1, 3) + 12 * kHour;
    for (sim::Timing timing : {sim::Timing{end, {}, {}}, sim::Timing{end, kClocksLastDay, {}}}) {
        std::vector<std::int64_t> times = sim::TestTimes(5000, timing, 1);
        EXPECT_GE(times.front(), timing.start.value_or(0) + 6 * kHour);
        EXPECT_LE(times.back(), timing.start ? sim::kLatestTimeStamp : end);
        EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
        EXPECT_TRUE(std::all_of(times.begin(), times.end(), InAShift));
    }
    EXPECT_EQ(sim::TestTimes(5000, {end, {}, {}}, 1).back(), end);
}

TEST(TestTimes, AStartOrASpacingSpreadsTheTestsOtherwise) {
    std::vector<std::int64_t> fromStart = sim::TestTimes(250, {kWednesday, 0, {}}, 8);
    EXPECT_GE(fromStart.front(), 6 * kHour);
    EXPECT_LT(fromStart.front(), 6 * kHour + 5 * kMinute) << "at the first shift's start";
    EXPECT_LT(fromStart.back(), 8 * kDay);
    EXPECT_EQ(sim::TestTimes(3, {kWednesday, 0, 8589934}, 3),
              (std::vector<std::int64_t>{0, 8589934, 2 * 8589934}));
    EXPECT_EQ(
        sim::TestTimes(3, {kWednesday, {}, 7 * kHour}, 3),
        (std::vector<std::int64_t>{kWednesday - 14 * kHour, kWednesday - 7 * kHour, kWednesday}));
    EXPECT_NE(sim::TimingRefusal(3, {0, kClocksLastDay, 49024}), "") << "past 2072-01-19 03:14:07";
    EXPECT_EQ(sim::TimingRefusal(3, {0, kClocksLastDay, 49023}), "");
    EXPECT_NE(sim::TimingRefusal(11, {999, {}, 100}), "") << "before 2004";
    EXPECT_EQ(sim::TimingRefusal(11, {1000, {}, 100}), "");
}

}  // namespace
