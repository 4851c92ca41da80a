#include "archive/test_columns.h"

#include <cmath>
#include <cstdio>

namespace qm4250 {

namespace {

constexpr char16_t kNulSymbol = 0x2400;

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

std::optional<double> LeakNumber(std::string_view text) {
    bool ok = false;
    double value =
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Worked out by hand, as QDateTime's formatting costs more than the rest of a test's insert.
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
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year),
                  static_cast<int>(month), static_cast<int>(day), static_cast<int>(second / 3600),
                  static_cast<int>(second % 3600 / 60), static_cast<int>(second % 60));
}

}  // namespace qm4250
