#include "sheets/serial_date.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace qm4250 {

namespace {

constexpr int64_t kSecondsPerDay = 86'400;
constexpr int64_t kMsPerDay = kSecondsPerDay * 1000;
// 9999-12-31 is day 2,958,465 of the 1900 system, and earlier in the 1904 system: anything from
// here on is past it in both, and the arithmetic below stays far inside 64 bits.
constexpr double kPastLastDay = 2'958'466;
// Excel's day 60, which the calendar does not have.
constexpr int64_t kLotusLeapDay = 60;

std::chrono::year_month_day DateOfDay(int64_t day, DateSystem system) {
    using namespace std::chrono;
    if (system == DateSystem::From1904)
        return sys_days{1904y / January / 1} + days{day};
    if (day == kLotusLeapDay)
        return 1900y / February / 29d;
    // Days 1 to 59 count from 1899-12-31; from day 61 on, one less for the day that was not.
    return sys_days{day < kLotusLeapDay ? 1899y / December / 31 : 1899y / December / 30} +
           days{day};
}

}  // namespace

std::optional<std::string> SerialDateText(double serial, DateSystem system) {
    if (!(serial >= 0 && serial < kPastLastDay))
        return std::nullopt;
    // A time is a fraction of a day in a double, so a whole second is seldom exactly one.
    double seconds = serial * kSecondsPerDay;
    double wholeSeconds = std::nearbyint(seconds);
    bool whole = std::fabs(seconds - wholeSeconds) < 0.001;
    int64_t ms = whole ? static_cast<int64_t>(wholeSeconds) * 1000 : std::llround(seconds * 1000);
    std::chrono::year_month_day date = DateOfDay(ms / kMsPerDay, system);
    int year = static_cast<int>(date.year());
    if (year > 9999)
        return std::nullopt;
    int64_t msOfDay = ms % kMsPerDay;
    char text[32];
    int length = std::snprintf(
        text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", year,
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(msOfDay / 3'600'000), static_cast<int>(msOfDay / 60'000 % 60),
        static_cast<int>(msOfDay / 1000 % 60));
    if (!whole)
        length += std::snprintf(text + length, sizeof text - static_cast<size_t>(length), ".%03d",
                                static_cast<int>(msOfDay % 1000));
    return std::string(text, static_cast<size_t>(length));
}

}  // namespace qm4250
