#include "protocol/field_format.h"

#include <cstdint>
#include <cstdio>

#include "protocol/decimal_text.h"

namespace qm4250 {

namespace {

constexpr int64_t kFourYearBlock = 126230400;
constexpr int64_t kLeapYear = 31622400;
constexpr int64_t kCommonYear = 31536000;
constexpr int64_t kDay = 86400;
constexpr int64_t kHour = 3600;
constexpr int64_t kMinute = 60;

// Every year the 32-bit clock reaches (1935 to 2072) is a leap year exactly when divisible by 4.
bool IsLeapYear(int64_t year) {
    return year % 4 == 0;
}

int DaysInMonth(int month, bool leap) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Two digits of a date or time, written where `at` points.
char* TwoDigits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
}

struct ClockTime {
    int year, month, day, hour, minute, second;
};

ClockTime ClockTimeOf(int32_t seconds) {
    int64_t t = seconds;

    // Floor division equals the instrument's truncation for every time stamp from 2004 on and
    // shows the true calendar date for the rare negative one, instead of a negative clock time.
    int64_t block = FloorDiv(t, kFourYearBlock);
    int64_t year = 2004 + 4 * block;
    int64_t r = t - block * kFourYearBlock;
    int64_t yearLength = IsLeapYear(year) ? kLeapYear : kCommonYear;
    while (r >= yearLength) {
        r -= yearLength;
        ++year;
        yearLength = IsLeapYear(year) ? kLeapYear : kCommonYear;
    }

    int64_t day = r / kDay;
    int month = 1;
    while (month < 12 && day >= DaysInMonth(month, IsLeapYear(year))) {
        day -= DaysInMonth(month, IsLeapYear(year));
        ++month;
    }
    int64_t s = r % kDay;
    return {static_cast<int>(year),
            month,
            static_cast<int>(day + 1),
            static_cast<int>(s / kHour),
            static_cast<int>(s % kHour / kMinute),
            static_cast<int>(s % kMinute)};
}

}  // namespace

std::optional<std::string> FormatTimeDate(std::string_view seconds) {
    std::optional<int64_t> t = DecimalToInteger(seconds, INT32_MIN, INT32_MAX);
    if (!t)
        return std::nullopt;
    return std::string(TimeDateOf(static_cast<int32_t>(*t)).view());
}

TimeDateText TimeDateOf(int32_t seconds) {
    ClockTime t = ClockTimeOf(seconds);
    TimeDateText text;
    text.size =
        std::snprintf(text.chars, sizeof text.chars, "%s %02d/%02d %02d:%02d:%02d",
                      kMonthNames[t.month - 1], t.day, t.year % 100, t.hour, t.minute, t.second);
    return text;
}

TimeDateText FullDateTimeOf(int32_t seconds) {
    ClockTime t = ClockTimeOf(seconds);
    TimeDateText text;
    // Written digit by digit: the archive writes one for every test it stores.
    const int parts[] = {t.month, t.day, t.hour, t.minute, t.second};
    const char separators[] = "-- ::";
    char* at = TwoDigits(TwoDigits(text.chars, t.year / 100), t.year % 100);
    for (int k = 0; k < 5; ++k) {
        *at = separators[k];
        at = TwoDigits(at + 1, parts[k]);
    }
    *at = '\0';
    text.size = static_cast<int>(at - text.chars);
    return text;
}

std::string Pad(std::string_view s, int slen) {
    std::string padded;
    if (slen > static_cast<int>(s.size()))
        padded.assign(slen - s.size(), ' ');
    padded.append(s);
    return padded;
}

std::string PadRight(std::string_view s, int width) {
    std::string padded(s);
    if (width > static_cast<int>(s.size()))
        padded.append(width - s.size(), ' ');
    return padded;
}

bool RelayBitSet(int64_t relayValue, int bit) {
    return relayValue >= 0 && (relayValue >> bit & 1) != 0;
}

std::optional<RelayBits> RelayText(std::string_view relayField) {
    std::optional<int64_t> v = DecimalToInteger(relayField, INT16_MIN, INT16_MAX);
    if (!v)
        return std::nullopt;

    RelayBits bits{RelayBitSet(*v, 0), {nullptr, nullptr, nullptr, nullptr, nullptr}};
    for (int bit = 1; bit <= 4; ++bit)
        bits.bit[bit] = OnOffText(RelayBitSet(*v, bit));
    return bits;
}

}  // namespace qm4250
