#include "formats/calendar_date.h"

namespace qm4250 {

std::optional<int64_t> Digits(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size())
        return std::nullopt;
    int64_t value = 0;
    for (size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
        value = value * 10 + (text[k] - '0');
    }
    return value;
}

bool IsCalendarDate(const CalendarDate& date) {
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = date.year % 4 == 0 && (date.year % 100 != 0 || date.year % 400 == 0);
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= kDays[date.month - 1] && (date.month != 2 || date.day < 29 || leap);
}

std::optional<CalendarDate> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    if (!year || !month || !day)
        return std::nullopt;
    CalendarDate date{*year, *month, *day};
    if (!IsCalendarDate(date))
        return std::nullopt;
    return date;
}

}  // namespace qm4250
