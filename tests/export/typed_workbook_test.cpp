// Typed workbooks read back by an independent reader: numbers stay numbers, date-times are
// numbers with a date format, texts come back byte for byte, long tables spread over sheets.
#include "export/typed_workbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>

#include "temp_dir.h"
#include "typed_read_back.h"

using namespace qm4250;

namespace {

constexpr int64_t k20261208At0630 = 1'796'711'400;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TypedSheet SheetOf(std::string name, std::vector<std::string> header, std::vector<TypedRow> rows) {
    auto kept = std::make_shared<const std::vector<TypedRow>>(std::move(rows));
    return {std::move(name), std::move(header), kept->size(),
            [kept](size_t row) { return (*kept)[row]; }};
}

std::string Content(const std::string& path) {
    std::stringstream content;
    content << std::ifstream(path).rdbuf();
    return content.str();
}

std::string Saved(const std::vector<TypedSheet>& sheets, size_t rowsPerSheet = kSheetRowLimit) {
    TempDir dir;
    std::string path = dir / "typed.xlsx";
    EXPECT_TRUE(SaveTypedWorkbook(sheets, path, rowsPerSheet));
    return ReadTypedBack(path);
}

TEST(TypedWorkbook, EachCellKeepsItsTypeUnderABoldFrozenHeader) {
    std::string dump = Saved({SheetOf("Points", {"Text", "Number", "When", "None"},
                                      {{"PN17", 0.0012, DateTime{k20261208At0630}, {}},
                                       {"", -3.5, DateTime{0}},
                                       {std::string("a\0b", 3), kNaN, DateTime{-2'208'988'801}},
                                       {{}, kInfinity, DateTime{253'402'300'800}, -kInfinity},
                                       {"x", 1e300, DateTime{253'402'300'799}, 0.0}})});
    const std::string date = " yyyy-mm-dd hh:mm:ss";
    EXPECT_EQ(dump,
              "sheet\tPoints\tA2\t0\t13\t20\t13\n"
              "B" +
                  TextCell("Text") + "\tB" + TextCell("Number") + "\tB" + TextCell("When") + "\tB" +
                  TextCell("None") + "\n" + TextCell("PN17") + "\tn0.0012\td2026-12-08 06:30:00" +
                  date + "\t\n" + "\tn-3.5\td1970-01-01 00:00:00" + date + "\t\n" +
                  TextCell(std::string("a\0b", 3)) + "\t\t\t\n" + "\t\t\t\n" + TextCell("x") +
                  "\tn1e+300\td9999-12-31 23:59:59" + date + "\tn0.0\n");
}

TEST(TypedWorkbook, TextsComeBackByteForByte) {
    // Escapes, characters XML cannot hold, markup, line ends, UTF-8 of every length, and as
    // long a text as a cell holds.
    const std::vector<std::string> texts{"_x0041_",
                                         "_x005F_x0041_",
                                         "_x0041",
                                         "\x01\x1f\x7f",
                                         " <&>\"' ",
                                         "\t\r\n",
                                         "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E",
                                         std::string(32767, 'a')};
    std::vector<TypedRow> rows;
    std::string expected = "B" + TextCell("Text") + "\n";
    for (const std::string& text : texts) {
        rows.push_back({text});
        expected += TextCell(text) + "\n";
    }
    std::string dump = Saved({SheetOf("Texts", {"Text"}, rows)});
    EXPECT_EQ(dump.substr(dump.find('\n') + 1), expected);
}

// The read-back above checks ordinary dates; here the ends of Excel's range and its 1900 leap day.
TEST(TypedWorkbook, ExcelSerialCountsFromThe1900DateSystem) {
    const std::vector<std::pair<int64_t, std::optional<double>>> cases{
        {-3600, 25568 + 23.0 / 24},          // before 1970: the day below
        {-2'203'891'200, 61},                // 1900-03-01
        {-2'203'891'201, 60 - 1.0 / 86400},  // 1900-02-28 23:59:59, before Excel's 29th
        {-2'208'988'800, 1},                 // 1900-01-01
        {-2'208'988'801, std::nullopt},
        {std::numeric_limits<int64_t>::min(), std::nullopt},
        {std::numeric_limits<int64_t>::max(), std::nullopt}};
    for (const auto& [seconds, serial] : cases) {
        std::optional<double> found = ExcelSerial(DateTime{seconds});
        EXPECT_EQ(found.has_value(), serial.has_value()) << seconds;
        EXPECT_DOUBLE_EQ(found.value_or(0), serial.value_or(0)) << seconds;
    }
}

std::string Described(const std::vector<SheetPart>& parts) {
    std::string text;
    for (const SheetPart& part : parts)
        text +=
            part.name + ":" + std::to_string(part.firstRow) + "+" + std::to_string(part.rows) + " ";
    return text;
}

TEST(TypedWorkbook, SheetPartsHoldTheHeaderAndTheRowsThatFit) {
    const std::string n31(31, 'N');
    std::string accented;  // 30 characters of two bytes
    for (int k = 0; k < 30; ++k)
        accented += "\xC3\xA9";
    EXPECT_EQ(Described(SheetParts("P", 0, 3)), "P:0+0 ");
    EXPECT_EQ(Described(SheetParts("P", 5, 3)), "P:0+2 P (2):2+2 P (3):4+1 ");
    EXPECT_EQ(Described(SheetParts("P", 2, 0)), "P:0+1 P (2):1+1 ");
    EXPECT_EQ(Described(SheetParts("P", kSheetRowLimit, SIZE_MAX)), "P:0+1048575 P (2):1048575+1 ");
    EXPECT_EQ(SheetParts(n31, 2, 2).back().name, std::string(27, 'N') + " (2)");
    EXPECT_EQ(SheetParts(accented, 2, 2).back().name, accented.substr(0, 27 * 2) + " (2)");
    EXPECT_EQ(SheetParts("P", kWorksheetLimit, 2).back().name, "P (10000)");
    EXPECT_TRUE(SheetParts("P", kWorksheetLimit + 1, 2).empty());
    EXPECT_TRUE(SheetParts("P", SIZE_MAX, kSheetRowLimit).empty());
}

TEST(TypedWorkbook, ALongTableContinuesOnFurtherSheetsEachWithItsHeader) {
    std::vector<TypedRow> rows;
    for (int k = 1; k <= 5; ++k)
        rows.push_back({double(k)});
    std::string dump =
        Saved({SheetOf("Statistics", {"n"}, {{2.0}}), SheetOf("Points", {"Leak"}, rows)}, 3);
    const std::string header = "B" + TextCell("Leak") + "\n";
    EXPECT_EQ(dump, "sheet\tStatistics\tA2\t13\nB" + TextCell("n") + "\nn2.0\n" +
                        "sheet\tPoints\tA2\t13\n" + header + "n1.0\nn2.0\n" +
                        "sheet\tPoints (2)\tA2\t13\n" + header + "n3.0\nn4.0\n" +
                        "sheet\tPoints (3)\tA2\t13\n" + header + "n5.0\n");
}

// Nothing is written then, and a file already there stays as it was.
TEST(TypedWorkbook, WhatCannotBeWrittenLeavesTheFileAsItWas) {
    TypedSheet unfilled{"Points", {"Leak"}, 3, nullptr};
    TypedSheet endless{"Points", {"Leak"}, SIZE_MAX, [](size_t) { return TypedRow{1.0}; }};
    const std::vector<std::pair<const char*, std::vector<TypedSheet>>> refused{
        {"same name but case", {SheetOf("Points", {}, {}), SheetOf("points", {}, {})}},
        {"a continuation's name", {SheetOf("P", {}, {{1.0}, {2.0}}), SheetOf("P (2)", {}, {})}},
        {"a forbidden character", {SheetOf("a:b", {}, {})}},
        {"a control character", {SheetOf("a\x01", {}, {})}},
        {"32 characters", {SheetOf(std::string(32, 'N'), {}, {})}},
        {"a text not UTF-8", {SheetOf("P", {}, {{"\xFF"}})}},
        {"a text longer than a cell", {SheetOf("P", {}, {{std::string(32768, 'a')}})}},
        {"a row wider than a sheet", {SheetOf("P", {}, {TypedRow(kSheetColumnLimit + 1, 1.0)})}},
        {"rows without a source", {unfilled}},
        {"more worksheets than a workbook takes", {endless}},
    };
    TempDir dir;
    std::string path = dir / "kept.xlsx";
    std::ofstream(path) << "the previous workbook";
    for (const auto& [what, sheets] : refused) {
        EXPECT_FALSE(SaveTypedWorkbook(sheets, path, 2)) << what;
        EXPECT_EQ(Content(path), "the previous workbook") << what;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.xlsx"}) << what;
    }
    EXPECT_FALSE(SaveTypedWorkbook({SheetOf("P", {}, {})}, dir / "absent/typed.xlsx"));
}

}  // namespace
