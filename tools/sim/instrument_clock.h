#pragma once

#include <cstdint>
#include <optional>

namespace sim {

// The instrument's clock counts seconds since 2004-01-01 00:00:00 in a signed 32-bit number.
inline constexpr std::int64_t kLatestTimeStamp = 2'147'483'647;  // 2072-01-19 03:14:07

// The time stamp of a date's midnight, or none for a date that does not exist.
std::optional<std::int64_t> DateTimeStamp(int year, int month, int day);

// The computer's local time as the instrument's clock would read it, kept within the clock's
// range. The clock is set to the plant's local time, and the program shows its time stamps as
// the clock reads them.
std::int64_t LocalClockNow();

}  // namespace sim
