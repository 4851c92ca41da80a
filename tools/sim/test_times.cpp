#include "test_times.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "dice.h"
#include "instrument_clock.h"

namespace sim {

namespace {

// The times draw from their own stream, so the tests' results stay the same whatever the timing.
constexpr std::uint64_t kTimeStream = 0xbf58476d1ce4e5b9;

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;

struct WorkPeriod {
    std::int64_t from;  // seconds into the day
    std::int64_t to;
};

// Two shifts, 06:00 to 14:00 and 14:00 to 22:00, each with a half-hour break.
constexpr std::array<WorkPeriod, 3> kWorkPeriods{{
    {6 * kHour, 10 * kHour},
    {10 * kHour + 30 * kMinute, 18 * kHour},
    {18 * kHour + 30 * kMinute, 22 * kHour},
}};

constexpr std::int64_t kWorkPerDay = [] {
    std::int64_t work = 0;
    for (const WorkPeriod& period : kWorkPeriods)
        work += period.to - period.from;
    return work;
}();

// The line's time is counted in seconds worked since the clock's start, so a gap that reaches
// past the end of a shift goes on in the next one.
std::int64_t WorkBefore(std::int64_t time) {
    std::int64_t work = time / kDay * kWorkPerDay;
    std::int64_t second = time % kDay;
    for (const WorkPeriod& period : kWorkPeriods)
        work += std::clamp(second - period.from, std::int64_t{0}, period.to - period.from);
    return work;
}

std::int64_t TimeAtWork(std::int64_t work) {
    std::int64_t left = work % kWorkPerDay;
    for (const WorkPeriod& period : kWorkPeriods) {
        if (left < period.to - period.from)
            return work / kWorkPerDay * kDay + period.from + left;
        left -= period.to - period.from;
    }
    return work / kWorkPerDay * kDay;  // not reached: left < kWorkPerDay
}

// The last moment worked at or before `time`, or -1 before the clock's first shift.
std::int64_t LastWorkBy(std::int64_t time) {
    std::int64_t work = WorkBefore(time);
    return TimeAtWork(work) <= time ? work : work - 1;
}

// A lot of parts is tested one to six minutes apart; between lots the station waits for parts.
std::int64_t WorkGap(Dice& dice) {
    if (dice.Chance(9))
        return 20 * kMinute + dice.Below(160 * kMinute);
    return kMinute + dice.Below(5 * kMinute + 1);
}

std::vector<std::int64_t> ShiftTimes(int count, const Timing& timing, Dice& dice) {
    // Each test's work since the first.
    std::vector<std::int64_t> times(count, 0);
    for (int k = 1; k < count; ++k)
        times[k] = times[k - 1] + WorkGap(dice);
    std::int64_t span = count > 0 ? times.back() : 0;
    std::int64_t lastWork = std::max<std::int64_t>(LastWorkBy(kLatestTimeStamp), 0);
    std::int64_t first = 0;
    std::int64_t room = 0;
    if (timing.start) {
        first = std::min(WorkBefore(*timing.start) + dice.Below(5 * kMinute), lastWork);
        room = lastWork - first;
    } else {
        std::int64_t last = LastWorkBy(timing.end);
        // After the shifts the last test was made in the last minutes of the one before.
        if (last >= 0 && TimeAtWork(last) < timing.end)
            last -= dice.Below(5 * kMinute);
        last = std::max<std::int64_t>(last, 0);
        room = last;
        first = last - std::min(span, room);
    }
    // Too long a history for the clock works through its pauses faster instead.
    double squeeze = span > room ? static_cast<double>(room) / static_cast<double>(span) : 1.0;
    for (std::int64_t& time : times)
        time = TimeAtWork(first + std::llround(static_cast<double>(time) * squeeze));
    return times;
}

}  // namespace

std::string TimingRefusal(int count, const Timing& timing) {
    if (!timing.spacing || count < 2)
        return "";
    std::int64_t span = std::int64_t{count - 1} * *timing.spacing;
    std::string tests = std::to_string(count) + " tests " + std::to_string(*timing.spacing) +
                        " seconds apart would ";
    if (timing.start && *timing.start + span > kLatestTimeStamp)
        return tests + "run past 2072-01-19 03:14:07, where the instrument's clock ends";
    if (!timing.start && timing.end - span < 0)
        return tests + "begin before 2004-01-01, where the instrument's clock starts";
    return "";
}

std::vector<std::int64_t> TestTimes(int count, const Timing& timing, std::uint64_t seed) {
    Dice dice(seed ^ kTimeStream);
    if (!timing.spacing)
        return ShiftTimes(count, timing, dice);
    std::vector<std::int64_t> times(count);
    std::int64_t first =
        timing.start.value_or(timing.end - std::int64_t{count - 1} * *timing.spacing);
    for (int k = 0; k < count; ++k)
        times[k] = first + k * *timing.spacing;
    return times;
}

}  // namespace sim
