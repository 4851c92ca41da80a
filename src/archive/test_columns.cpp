#include "archive/test_columns.h"

#include <charconv>
#include <cmath>

namespace qm4250 {

namespace {

constexpr char16_t kNulSymbol = 0x2400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A leak as the instrument sends it: an optional minus, digits, and a fraction. QString::toDouble()
// and std::from_chars read such a text alike.
bool IsPlainDecimal(std::string_view text) {
    size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    size_t digits = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    if (at == digits)
        return false;
    if (at == text.size())
        return true;
    if (text[at] != '.' || ++at == text.size())
        return false;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at == text.size();
}

// Two digits of a date or time, written where `at` points.
char* TwoDigits(char* at, int64_t value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
}

}  // namespace

QString ArchiveText(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .replace(QChar(0), QChar(kNulSymbol));
}

void ArchiveTextUtf8(std::string_view bytes, std::string& out) {
    out.clear();
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            out += "\xE2\x90\x80";
        } else if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
}

std::string ReceivedBytes(const QString& archived) {
    return QString(archived).replace(QChar(kNulSymbol), QChar(0)).toLatin1().toStdString();
}

// QString::toDouble() took a tenth of a test's insert; std::from_chars, as correctly rounded, takes
// the leaks the instrument sends, and Qt any other text.
std::optional<double> LeakNumber(std::string_view text) {
    double value = 0;
    if (IsPlainDecimal(text) &&
        std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc())
        return value;
    bool ok = false;
    value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Worked out and written by hand, as QDateTime's formatting, and even snprintf, cost a good part of
// a test's insert.
TestedAtText::TestedAtText(int32_t seconds) {
    constexpr int64_t kDay = 86400;
    constexpr int64_t kDaysFrom1970To2004 = 12418;
    int64_t days =
        (seconds >= 0 ? seconds / kDay : (seconds - kDay + 1) / kDay) + kDaysFrom1970To2004;
    int64_t second = seconds - (days - kDaysFrom1970To2004) * kDay;
    // Days to civil date, after H. Hinnant's algorithm.
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2);
    // A time stamp's 32 bits reach from 1935 to 2072: the year has four digits.
    const int64_t parts[] = {month, day, second / 3600, second % 3600 / 60, second % 60};
    const char separators[] = "-- ::";
    char* at = TwoDigits(TwoDigits(text, year / 100), year % 100);
    for (int k = 0; k < 5; ++k) {
        *at = separators[k];
        at = TwoDigits(at + 1, parts[k]);
    }
    *at = '\0';
}

}  // namespace qm4250
