#include "instrument_clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace sim {

std::optional<std::int64_t> DateTimeStamp(int year, int month, int day) {
    using namespace std::chrono;
    year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                        std::chrono::day(static_cast<unsigned>(day))};
    if (month < 1 || day < 1 || !date.ok())
        return std::nullopt;
    constexpr sys_days kClockStart = 2004y / January / 1;
    return (sys_days(date) - kClockStart).count() * std::int64_t{86400};
}

std::int64_t LocalClockNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return kLatestTimeStamp;
    std::optional<std::int64_t> midnight =
        DateTimeStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    std::int64_t clock =
        midnight.value_or(0) + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return std::clamp<std::int64_t>(clock, 0, kLatestTimeStamp);
}

}  // namespace sim
