// The one reader of "YYYY-MM-DD" dates: the sheets' date cells, the archive's filters, the command
// line's --from and --to, and the days of the archive's time stamps.
#include <gtest/gtest.h>

#include <QDate>
#include <QString>

#include "archive/iso_date.h"
#include "formats/calendar_date.h"

using namespace qm4250;

namespace {

TEST(ParseIsoDate, OnlyFourTwoTwoDigitsOfADayTheCalendarHas) {
    struct Case {
        const char* text;
        bool date;
    };
    const Case cases[] = {
        {"2024-01-05", true},   {"0999-01-05", true},      {"2000-02-29", true},
        {"2024-02-29", true},   {"2023-02-29", false},     {"1900-02-29", false},
        {"2024-02-30", false},  {"2024-04-31", false},     {"2024-12-31", true},
        {"2024-13-01", false},  {"2024-00-10", false},     {"2024-01-00", false},
        {"2024-1-05", false},   {"2024-01-5", false},      {"999-01-05", false},
        {"02024-01-05", false}, {"+2024-01-05", false},    {" 2024-01-05", false},
        {"2024-01-05 ", false}, {"2024-01-05x", false},    {"2024/01/05", false},
        {"2024-001-05", false}, {"２０２４-01-05", false}, {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIsoDate(c.text).has_value(), c.date) << c.text;
        // The filters and the command line read their dates with Qt's reader before.
        QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(IsoDate(text), QDate::fromString(text, "yyyy-MM-dd")) << c.text;
    }
    std::optional<CalendarDate> date = ParseIsoDate("2031-07-09");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->year * 10000 + date->month * 100 + date->day, 20310709);
}

}  // namespace
