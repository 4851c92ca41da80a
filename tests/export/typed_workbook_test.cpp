// Typed workbooks read back by an independent reader: numbers stay numbers, date-times are
// numbers with a date format, texts come back byte for byte, long tables spread over sheets.
#include "export/typed_workbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "temp_dir.h"
#include "typed_read_back.h"

using namespace qm4250;

namespace {

TypedSheet SheetOf(std::string name, std::vector<std::string> header, std::vector<TypedRow> rows) {
    return {name, header, rows.size(), [rows](size_t row) { return rows[row]; }};
}

// Three rows a sheet: the last two go on under the header again. Texts (escapes, bytes XML cannot
// hold, UTF-8, the longest) stay exact; non-finite numbers and dates Excel cannot show are empty.
TEST(TypedWorkbook, EachCellKeepsItsTypeUnderABoldFrozenHeaderOnEachSheet) {
    const std::string escapes = "_x0041_ _x005F_x0041_ _x0041",
                      markup = " \x01\x1f\x7f<&>\"'\t\r\n",
                      bytes("a\0b\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E", 12), longest(32767, 'a');
    std::vector<TypedRow> rows{{escapes, 0.0012, DateTime{1'796'711'400}, ""},
                               {markup, -3.5, DateTime{0}},
                               {bytes, NAN, DateTime{-2'208'988'801}},
                               {{}, HUGE_VAL, DateTime{253'402'300'800}, -HUGE_VAL},
                               {longest, 1e300, DateTime{253'402'300'799}, 0.0}};
    TempDir dir;
    ASSERT_TRUE(SaveTypedWorkbook({SheetOf("P", {"A", "", "", "D"}, rows)}, dir / "t.xlsx", 4));
    const std::string header = "B" + TextCell("A") + "\t\t\tB" + TextCell("D") + "\n";
    EXPECT_EQ(ReadTypedBack(dir / "t.xlsx"),
              "sheet\tP\tA2\t29\t13\t20\t0\n" + header + TextCell(escapes) +
                  "\tn0.0012\td2026-12-08 06:30:00 yyyy-mm-dd hh:mm:ss\t\n" + TextCell(markup) +
                  "\tn-3.5\td1970-01-01 00:00:00 yyyy-mm-dd hh:mm:ss\t\n" + TextCell(bytes) +
                  "\t\t\t\nsheet\tP (2)\tA2\t61\t13\t20\t13\n" + header + "\t\t\t\n" +
                  TextCell(longest) +
                  "\tn1e+300\td9999-12-31 23:59:59 yyyy-mm-dd hh:mm:ss\tn0.0\n");
}

// The read-back above checks the ends of Excel's dates; here the serial about its 1900 leap day.
TEST(TypedWorkbook, ExcelSerialCountsFromThe1900DateSystem) {
    const std::vector<std::pair<int64_t, double>> cases{
        {-3600, 25568 + 23.0 / 24},          // before 1970: the day below
        {-2'203'891'200, 61},                // 1900-03-01
        {-2'203'891'201, 60 - 1.0 / 86400},  // 1900-02-28 23:59:59, before Excel's 29th
        {-2'208'988'800, 1},                 // 1900-01-01
        {INT64_MIN, -1},                     // -1: none
        {INT64_MAX, -1}};
    for (const auto& [seconds, serial] : cases)
        EXPECT_DOUBLE_EQ(ExcelSerial(DateTime{seconds}).value_or(-1), serial) << seconds;
}

TEST(TypedWorkbook, SheetPartsHoldTheHeaderAndTheRowsThatFit) {
    auto described = [](const std::vector<SheetPart>& parts) {
        std::string text;
        for (const SheetPart& p : parts)
            text += p.name + ":" + std::to_string(p.firstRow) + "+" + std::to_string(p.rows) + " ";
        return text;
    };
    EXPECT_EQ(described(SheetParts("P", 0, 3)), "P:0+0 ");
    EXPECT_EQ(described(SheetParts("P", 2, 0)), "P:0+1 P (2):1+1 ");
    EXPECT_EQ(described(SheetParts("P", kSheetRowLimit, SIZE_MAX)), "P:0+1048575 P (2):1048575+1 ");
    const std::string accented = "éééééééééééééééééééééééééééééé";  // 30 characters of two bytes
    EXPECT_EQ(SheetParts(accented, 2, 2).back().name, accented.substr(0, 27 * 2) + " (2)");
    EXPECT_EQ(SheetParts("P", kWorksheetLimit, 2).back().name, "P (10000)");
    EXPECT_TRUE(SheetParts("P", kWorksheetLimit + 1, 2).empty());
    EXPECT_TRUE(SheetParts("P", SIZE_MAX, kSheetRowLimit).empty());
}

TEST(TypedWorkbook, WhatCannotBeWrittenLeavesTheFileAsItWas) {
    const std::vector<std::pair<const char*, std::vector<TypedSheet>>> refused{
        {"same name but case", {SheetOf("Points", {}, {}), SheetOf("points", {}, {})}},
        {"a continuation's name", {SheetOf("P", {}, {{1.0}, {2.0}}), SheetOf("P (2)", {}, {})}},
        {"a forbidden character", {SheetOf("a:b", {}, {})}},
        {"a control character", {SheetOf("a\x01", {}, {})}},
        {"32 characters", {SheetOf(std::string(32, 'N'), {}, {})}},
        {"a text not UTF-8", {SheetOf("P", {}, {{"\xFF"}})}},
        {"a text longer than a cell", {SheetOf("P", {}, {{std::string(32768, 'a')}})}},
        {"a row wider than a sheet", {SheetOf("P", {}, {TypedRow(kSheetColumnLimit + 1, 1.0)})}},
        {"rows without a source", {TypedSheet{"P", {}, 3, nullptr}}},
        {"too many sheets", {TypedSheet{"P", {}, SIZE_MAX, [](size_t) { return TypedRow{}; }}}}};
    TempDir dir;
    std::ofstream(dir / "kept.xlsx") << "the previous workbook";
    for (const auto& [what, sheets] : refused) {
        EXPECT_FALSE(SaveTypedWorkbook(sheets, dir / "kept.xlsx", 2)) << what;
        std::string kept;
        std::getline(std::ifstream(dir / "kept.xlsx"), kept);
        EXPECT_EQ(kept, "the previous workbook") << what;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.xlsx"}) << what;
    }
    EXPECT_FALSE(SaveTypedWorkbook({SheetOf("P", {}, {})}, dir / "absent/typed.xlsx"));
}

}  // namespace
