#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "export/cell_table.h"
#include "export/save_history_workbook.h"
#include "history_rows.h"
#include "independent_reader.h"
#include "restricted_save.h"
#include "temp_dir.h"

using namespace qm4250;

namespace {

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

// Bytes from the whole Latin-1 range (";" too: a field holds it as it came), long fields, empty
// fields and control characters.
History TrickyHistory() {
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        allBytes += static_cast<char>(b);
    History history;
    history.identification = Identification{"00\xB0\xE9;x", "Q", "Pellmar"};
    history.records = {
        MakeRecord("1", allBytes, "C\"C,", "0.1", "N", "Jan 01/04 00:00:00", 1),
        MakeRecord("2", std::string(300, 'P'), std::string(256, '\xFC'), "-", "E", "T", 24),
        MakeRecord("3", "a\r\nb", "\t", "_x0041_", "\x7F", std::string(1, '\0'), 4),
        MakeRecord("P;X", ";", "", "", "", "", 2),
    };
    return history;
}

// Unique texts in every row, so the string table outgrows many records; every powerUpEvery-th
// record (none for 0) reports a power-up.
History LargeHistory(int testRecords, int powerUpEvery) {
    History history;
    history.identification = Identification{"1", "S", "Norvik"};
    for (int k = 1; k <= testRecords; ++k) {
        std::string n = std::to_string(k);
        history.records.push_back(MakeRecord(n, "PN\xE4" + n, "CC", "0." + n, "Err",
                                             "Jan 01/04 00:00:" + n,
                                             powerUpEvery && k % powerUpEvery == 0 ? 1 : 8));
    }
    return history;
}

class ReadBack : public ::testing::TestWithParam<std::string> {
  protected:
    // Saves the history in this format and checks that the reader finds exactly its cells.
    void ExpectSavedAndReadBack(const History& history) {
        std::string path = dir_ / ("history." + GetParam());
        ASSERT_EQ(Save(history, path), kSaved);
        EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"history." + GetParam()});
        EXPECT_EQ(ReadWithIndependentReader(GetParam(), path), Dump(BuildCellTable(history)));
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
    ExpectSavedAndReadBack(History{});
}

// Each instrument's tests on a sheet named by its serial, as far as a sheet name can hold it; in a
// .csv, each after its identification row.
TEST_P(ReadBack, SeveralInstruments) {
    std::vector<History> histories(4, TrickyHistory());
    const std::vector<std::string> serials{"a/b:c", "A_B_C", "'\xE9'", ""};
    for (size_t k = 0; k < serials.size(); ++k)
        histories[k].identification->serial = serials[k];
    std::string path = dir_ / ("instruments." + GetParam());
    ASSERT_TRUE(SaveHistories(histories, path).ok());
    std::string expected;
    if (GetParam() == "csv") {
        expected = Dump(BuildInstrumentsTable(histories));
    } else {
        for (const char* name : {"a_b_c", "A_B_C (2)", "_\xC3\xA9_", "no serial"})
            expected += "sheet\t" + Hex(name) + "\n";
        for (size_t k = 0, at = 0; k < histories.size(); ++k) {
            at = expected.find("\n", expected.find("sheet\t", at)) + 1;
            std::string rows = Dump(BuildCellTable(histories[k]));
            expected.insert(at, rows);
            at += rows.size();
        }
    }
    EXPECT_EQ(ReadWithIndependentReader(GetParam(), path), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadBack, ::testing::Values("xls", "xlsx", "csv"));

TEST(ReadBackXls, FullSheetOf65536Rows) {
    TempDir dir;
    History history = LargeHistory(65534, 0);
    std::string path = dir / "full.xls";
    ASSERT_EQ(Save(history, path), kSaved);
    EXPECT_EQ(ReadWithIndependentReader("xls", path), Dump(BuildCellTable(history)));
}

TEST(ReadBackXls, OneRowMoreIsNotSavedAsXlsButIsAsXlsxAndCsv) {
    TempDir dir;
    History history = LargeHistory(65535, 0);
    EXPECT_EQ(Save(history, dir / "h.xls"), NotSaved(Failure::Kind::TooManyRows));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
    EXPECT_EQ(Save(history, dir / "h.xlsx"), kSaved);
    EXPECT_EQ(Save(history, dir / "h.csv"), kSaved);
}

}  // namespace
