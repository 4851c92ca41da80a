// Numbers as the dates their cell formats show: which format codes are dates, and serial numbers
// as ISO text in both date systems, at the edges Excel has.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "sheets/cell_formats.h"
#include "sheets/date_format_codes.h"
#include "sheets/serial_date.h"

using namespace qm4250;

namespace {

TEST(CellDates, FormatCodesWithADateOrTimeTokenOutsideLiteralsAreDates) {
    struct Code {
        const char* code;
        bool isDate;
    };
    for (const Code& c : std::vector<Code>{
             {"yyyy-mm-dd hh:mm:ss", true},
             {"mmm dd/yy hh:mm:ss", true},
             {"[$-409]h:mm AM/PM", true},
             {"[h]:mm:ss", true},
             {"[SS].00", true},
             {"[Red][<0]ss", true},
             {"ggge\"年\"", true},
             {"e", true},
             {"A/P", true},
             {"General", false},
             {"general;-general", false},
             {"0.00E+00", false},
             {"##0.0e-0", false},
             {"0.0 \"d\"", false},
             {"0 \"days and hours\"", false},
             {"0\\d", false},
             {"0_h", false},
             {"*s0", false},
             {"[Red]0.00;[Blue]-0.00", false},
             {"[$-F800]0", false},
             {"[hm]0", false},
             {"\"unclosed d", false},
             {"", false},
         }) {
        EXPECT_EQ(IsDateFormatCode(c.code), c.isDate) << c.code;
    }
    for (uint32_t id : {14, 22, 27, 36, 45, 47, 50, 58})
        EXPECT_TRUE(IsBuiltInDateFormat(id)) << id;
    for (uint32_t id : {0, 13, 23, 26, 37, 44, 48, 49, 59, 163, 164})
        EXPECT_FALSE(IsBuiltInDateFormat(id)) << id;
}

TEST(CellDates, SerialNumbersAreIsoTextUpToTheLastDayExcelShows) {
    struct Serial {
        double serial;
        DateSystem system;
        std::optional<std::string> text;
    };
    constexpr DateSystem k1900 = DateSystem::From1900, k1904 = DateSystem::From1904;
    constexpr double kSecond = 1.0 / 86400;
    for (const Serial& s : std::vector<Serial>{
             {0.5, k1900, "1899-12-31 12:00:00"},
             {1, k1900, "1900-01-01 00:00:00"},
             {59, k1900, "1900-02-28 00:00:00"},
             {60.25, k1900, "1900-02-29 06:00:00"},
             {61, k1900, "1900-03-01 00:00:00"},
             {45355.43090277778, k1900, "2024-03-04 10:20:30"},
             {45355 + (37230 + 0.0004) * kSecond, k1900, "2024-03-04 10:20:30"},
             {45355 + (37230 + 0.9996) * kSecond, k1900, "2024-03-04 10:20:31"},
             {45355 + (37230 + 0.0016) * kSecond, k1900, "2024-03-04 10:20:30.002"},
             {45355 + (86400 - 0.0001) * kSecond, k1900, "2024-03-05 00:00:00"},
             {45293.12784349537, k1900, "2024-01-02 03:04:05.678"},
             {0, k1904, "1904-01-01 00:00:00"},
             {43893.43090277778, k1904, "2024-03-04 10:20:30"},
             {2958465.5, k1900, "9999-12-31 12:00:00"},
             {2958465 + (86400 - 0.0004) * kSecond, k1900, std::nullopt},
             {2957003, k1904, "9999-12-31 00:00:00"},
             {2957004, k1904, std::nullopt},
             {-1, k1900, std::nullopt},
             {-0.25, k1904, std::nullopt},
             {1e300, k1900, std::nullopt},
             {std::nan(""), k1900, std::nullopt},
         }) {
        EXPECT_EQ(SerialDateText(s.serial, s.system), s.text) << s.serial;
    }
}

// The readers' tests fill the tables past their limits; defining a number format again, as a
// workbook may, takes no more room.
TEST(CellDates, ANumberFormatDefinedAgainTakesNoMoreRoom) {
    CellFormats formats;
    for (uint32_t id = 0; id < CellFormats::kMaxNumberFormats; ++id)
        ASSERT_TRUE(formats.defineNumberFormat(id, "0"));
    ASSERT_TRUE(formats.addCellFormat(7));
    EXPECT_TRUE(formats.defineNumberFormat(7, "yyyy"));
    EXPECT_EQ(formats.dateText(0, 61), "1900-03-01 00:00:00");
    EXPECT_FALSE(formats.defineNumberFormat(CellFormats::kMaxNumberFormats, "0"));
}

}  // namespace
