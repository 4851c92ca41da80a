#include "sheets/time_date_cell.h"

#include <optional>

#include "formats/calendar_date.h"
#include "protocol/field_format.h"

namespace qm4250 {

namespace {

struct CivilTime {
    int64_t year, month, day, hour, minute, second;
};

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool IsValid(const CivilTime& t) {
    return IsCalendarDate({t.year, t.month, t.day}) && t.hour < 24 && t.minute < 60 &&
           t.second < 60;
}

// Seconds since 2004-01-01, the instrument's epoch.
int64_t ClockSeconds(const CivilTime& t) {
    static const int64_t kEpochDays = DaysFromCivil(2004, 1, 1);
    return (DaysFromCivil(t.year, t.month, t.day) - kEpochDays) * 86400 + t.hour * 3600 +
           t.minute * 60 + t.second;
}

// Whether text holds `separator` at each of the positions.
bool Separators(std::string_view text, std::initializer_list<std::pair<size_t, char>> at) {
    for (auto [position, separator] : at) {
        if (position >= text.size() || text[position] != separator)
            return false;
    }
    return true;
}

// "Mar 04/21 10:11:12".
std::optional<CivilTime> InstrumentTime(std::string_view cell) {
    if (cell.size() != 18 ||
        !Separators(cell, {{3, ' '}, {6, '/'}, {9, ' '}, {12, ':'}, {15, ':'}}))
        return std::nullopt;
    int64_t month = 0;
    while (month < 12 && cell.substr(0, 3) != kMonthNames[month])
        ++month;
    auto day = Digits(cell, 4, 2), year = Digits(cell, 7, 2), hour = Digits(cell, 10, 2),
         minute = Digits(cell, 13, 2), second = Digits(cell, 16, 2);
    if (month == 12 || !day || !year || !hour || !minute || !second)
        return std::nullopt;
    return CivilTime{
        *year < 4 ? 2100 + *year : 2000 + *year, month + 1, *day, *hour, *minute, *second};
}

// "2021-03-04 10:11:12" or "2021-03-04T10:11:12", a fraction of a second after it or not.
std::optional<CivilTime> FullTime(std::string_view cell, bool& wholeSecond) {
    if (cell.size() < 19 || !Separators(cell, {{13, ':'}, {16, ':'}}) ||
        (cell[10] != ' ' && cell[10] != 'T'))
        return std::nullopt;
    std::optional<CalendarDate> date = ParseIsoDate(cell.substr(0, 10));
    auto hour = Digits(cell, 11, 2), minute = Digits(cell, 14, 2), second = Digits(cell, 17, 2);
    if (!date || !hour || !minute || !second)
        return std::nullopt;
    wholeSecond = true;
    if (cell.size() > 19) {
        std::string_view fraction = cell.substr(20);
        if (cell[19] != '.' || fraction.empty() || !Digits(fraction, 0, fraction.size()))
            return std::nullopt;
        wholeSecond = fraction.find_first_not_of('0') == std::string_view::npos;
    }
    return CivilTime{date->year, date->month, date->day, *hour, *minute, *second};
}

}  // namespace

std::variant<int32_t, SkipReason> SecondsOfTimeDate(std::string_view cell) {
    bool wholeSecond = true;
    std::optional<CivilTime> time = InstrumentTime(cell);
    if (!time)
        time = FullTime(cell, wholeSecond);
    if (!time || !IsValid(*time))
        return SkipReason::TimeDateUnreadable;
    int64_t seconds = ClockSeconds(*time);
    if (seconds < 0 || seconds > INT32_MAX)
        return SkipReason::OutsideClock;
    if (!wholeSecond)
        return SkipReason::NotWholeSecond;
    return static_cast<int32_t>(seconds);
}

}  // namespace qm4250
