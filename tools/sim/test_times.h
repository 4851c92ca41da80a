#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// When the generated tests were made, on the instrument's clock.
struct Timing {
    std::int64_t end = 0;                 // the clock's time now: the history ends by then
    std::optional<std::int64_t> start;    // the history starts on this day instead
    std::optional<std::int64_t> spacing;  // seconds between tests, day and night, instead of shifts
};

// Why `count` tests at the timing's fixed spacing would leave the clock's range, or empty. Tests
// in shifts always fit: their pauses shrink where they would not.
std::string TimingRefusal(int count, const Timing& timing);

// The time stamps of `count` tests, oldest first, the same for the same seed and timing. In
// shifts, tests come a few minutes apart in lots with pauses between, from 06:00 to 22:00 with a
// break in each shift; at night the line stands. Without a start the last test is at `end`, or,
// when that falls outside the shifts, late in the shift before.
std::vector<std::int64_t> TestTimes(int count, const Timing& timing, std::uint64_t seed);

}  // namespace sim
