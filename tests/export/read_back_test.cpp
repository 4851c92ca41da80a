#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "export/cell_table.h"
#include "export/save_history_workbook.h"
#include "independent_reader.h"
#include "temp_dir.h"

namespace {

const std::string kSaved = "History data was successfully saved";
const std::string kNotSaved = "History data was not saved";

// The table as read_back.py prints it.
std::string Dump(const CellTable& table) {
    std::string dump;
    for (const SheetRow& row : table) {
        for (size_t column = 0; column < row.size(); ++column)
            dump += (column ? "\t" : "") + Hex(row[column]);
        dump += "\n";
    }
    return dump;
}

WindowState History(std::vector<std::string> records) {
    WindowState state;
    state.RecordIndex = static_cast<int32_t>(records.size()) - 1;
    state.Records = std::move(records);
    state.Records.resize(state.Records.size() + 50);
    return state;
}

// Bytes from the whole Latin-1 range, long fields, empty fields and control characters.
WindowState TrickyHistory() {
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        if (b != ';')
            allBytes += static_cast<char>(b);
    return History({
        "SN = 00\xB0\xE9;Model: Pellmar",
        "1;" + allBytes + ";C\"C,;0.1;;Jan 01/04 00:00:00;1",
        "2;" + std::string(300, 'P') + ";" + std::string(256, '\xFC') + ";-;E;T;24",
        "3;a\r\nb;\t;_x0041_;\x7F;" + std::string(1, '\0') + ";4",
        "",
        "5;;;;;;2",
    });
}

// Unique texts in every row, so the string table outgrows many records; every powerUpEvery-th
// record (none for 0) reports a power-up.
WindowState LargeHistory(int testRecords, int powerUpEvery) {
    std::vector<std::string> records{"SN = 1;Model: Norvik"};
    for (int k = 1; k <= testRecords; ++k) {
        std::string n = std::to_string(k);
        records.push_back(n + ";PN\xE4" + n + ";CC;0." + n + ";Err;Jan 01/04 00:00:" + n + ";" +
                          (powerUpEvery && k % powerUpEvery == 0 ? "1" : "8"));
    }
    return History(std::move(records));
}

class ReadBack : public ::testing::TestWithParam<std::string> {
  protected:
    // Saves the history in this format and checks that the reader finds exactly its cells.
    void ExpectSavedAndReadBack(const WindowState& state) {
        std::string path = dir_ / ("history." + GetParam());
        ASSERT_EQ(SaveHistoryWorkbook(state, path), kSaved);
        EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"history." + GetParam()});
        std::optional<CellTable> table = BuildCellTable(state.Records, state.RecordIndex);
        EXPECT_EQ(ReadWithIndependentReader(GetParam(), path), Dump(*table));
    }

    TempDir dir_;
};

TEST_P(ReadBack, EveryByteLongTextsAndEmptyCells) {
    ExpectSavedAndReadBack(TrickyHistory());
}

TEST_P(ReadBack, LargeHistory) {
    ExpectSavedAndReadBack(LargeHistory(5000, 10));
}

TEST_P(ReadBack, HeaderOnly) {
    ExpectSavedAndReadBack(History({}));
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadBack, ::testing::Values("xls", "xlsx", "csv"));

TEST(ReadBackXls, FullSheetOf65536Rows) {
    TempDir dir;
    WindowState state = LargeHistory(65534, 0);
    std::string path = dir / "full.xls";
    ASSERT_EQ(SaveHistoryWorkbook(state, path), kSaved);
    EXPECT_EQ(ReadWithIndependentReader("xls", path),
              Dump(*BuildCellTable(state.Records, state.RecordIndex)));
}

TEST(ReadBackXls, OneRowMoreIsNotSavedAsXlsButIsAsXlsxAndCsv) {
    TempDir dir;
    WindowState state = LargeHistory(65535, 0);
    EXPECT_EQ(SaveHistoryWorkbook(state, dir / "h.xls"), kNotSaved);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
    EXPECT_EQ(SaveHistoryWorkbook(state, dir / "h.xlsx"), kSaved);
    EXPECT_EQ(SaveHistoryWorkbook(state, dir / "h.csv"), kSaved);
}

}  // namespace
