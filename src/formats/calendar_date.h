#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm4250 {

// A day of the proleptic Gregorian calendar.
struct CalendarDate {
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
};

// The number written with exactly `count` ASCII digits at `at` of text; none where another
// character stands there or the text ends first.
std::optional<int64_t> Digits(std::string_view text, size_t at, size_t count);

// Whether the calendar has this day: a month 1 to 12, a day within it, February 29 in leap years.
bool IsCalendarDate(const CalendarDate& date);

// A date written as the archive, its filters and spreadsheets write one, "2024-03-04": exactly
// four digits of year, two of month and two of day, and a day the calendar has.
std::optional<CalendarDate> ParseIsoDate(std::string_view text);

}  // namespace qm4250
