// What goes out comes back: histories with every awkward field through each writer and the
// import, and selections of several instruments out of an archive and into it again.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "archive/archive_sheet_file.h"
#include "archive/test_selection.h"
#include "export/save_history_workbook.h"
#include "history_rows.h"
#include "protocol/field_format.h"
#include "sheet_read_back.h"
#include "sheets/time_date_cell.h"
#include "test_archives.h"

using namespace qm4250;

namespace {

TestRecord Test(std::string_view seq, std::string_view pn, std::string_view custCode,
                std::string_view leak, std::string_view errorCode, int32_t seconds,
                int16_t relays) {
    std::string relayField = std::to_string(relays);
    return TestRecord({seq, pn, custCode, leak, errorCode, seconds, TimeDateOf(seconds).view(),
                       relayField, relays});
}

// A test as a sheet keeps it: the texts, the raw seconds, and the bits of the relay cells and the
// marker (bit 1 has no cell).
std::string Kept(const TestRecord& test) {
    std::string kept = RowText(test);
    kept.resize(kept.size() - test.relayField().size());
    return kept + std::to_string(test.seconds()) + "/" + std::to_string(test.relays() & 0x1D);
}

std::vector<std::string> KeptTests(const History& history) {
    std::vector<std::string> kept;
    for (const TestRecord& test : history.records)
        kept.push_back(Kept(test));
    return kept;
}

History AwkwardHistory() {
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        allBytes += static_cast<char>(b);
    History history;
    history.identification = Identification{"SN = 7;\"x\"", "Q", "Pellmar"};
    history.records = {
        Test("QM 4250 Power UP", "P", "C", "0.1", "N", 0, 4),
        Test("SN = 5", "Model: Norvik", "", "", "N", 1, 1),
        Test("a;b", "say \"hi\"", "1,5", "=1+1", "7", 2, 24),
        Test("1", allBytes, std::string(1, '\0') + "x", "_x0041\x01_x0042_", "N", 3, 29),
        Test("", "\r\n", "\t", " ", "N", INT32_MAX, 0),
        Test("before 2004", "P", "C", "0.1", "N", -1, 1),
        Test("1935", "P", "C", "0.1", "N", INT32_MIN, 0),
        Test("QM 4250 Power UP", "", "", "", "N", 86400, 16),
    };
    return history;
}

class AwkwardRoundTrip : public testing::TestWithParam<const char*> {};

// Every field comes back exactly; a time stamp the instrument's clock cannot show is refused.
TEST_P(AwkwardRoundTrip, ComesBackExactlyOrIsSkippedWithItsReason) {
    QTemporaryDir folder;
    std::string path = (folder.path() + "/awkward." + GetParam()).toStdString();
    History saved = AwkwardHistory();
    ASSERT_TRUE(SaveHistory(saved, path).ok());
    ReadBack back = ReadHistoryFile(path);
    ASSERT_FALSE(back.error) << back.error->detail;
    ASSERT_EQ(back.histories.size(), 1u);
    EXPECT_EQ(RowText(*back.history.identification), RowText(*saved.identification));
    History expected = saved;
    std::erase_if(expected.records, [](const TestRecord& test) { return test.seconds() < 0; });
    EXPECT_EQ(KeptTests(back.history), KeptTests(expected));
    ASSERT_EQ(back.skipped.size(), 2u);
    for (const SkippedRow& skipped : back.skipped)
        EXPECT_EQ(skipped.reason, SkipReason::OutsideClock) << skipped.cell;
    EXPECT_EQ(back.skipped[1].cell, "1935-12-13 20:45:52");
}

INSTANTIATE_TEST_SUITE_P(Formats, AwkwardRoundTrip, testing::Values("xls", "xlsx", "csv"));

TEST(TimeDateCell, OnlyWholeSecondsOfTheInstrumentsClock) {
    struct Case {
        const char* cell;
        std::variant<int32_t, SkipReason> expected;
    };
    for (const Case& c : std::vector<Case>{
             {"Jan 01/04 00:00:00", 0},
             {"Jan 19/72 03:14:07", INT32_MAX},
             {"Jan 19/72 03:14:08", SkipReason::OutsideClock},
             {"Dec 31/03 23:59:59", SkipReason::OutsideClock},
             {"Feb 29/08 12:00:00", 131'371'200},
             {"Feb 29/09 12:00:00", SkipReason::TimeDateUnreadable},
             {"Jan 01/04 24:00:00", SkipReason::TimeDateUnreadable},
             {"jan 01/04 00:00:00", SkipReason::TimeDateUnreadable},
             {"Jan 01/04 00:00:0", SkipReason::TimeDateUnreadable},
             {"2004-01-01 00:00:00", 0},
             {"2004-01-01T00:00:01", 1},
             {"2004-01-01 00:00:01.000", 1},
             {"2004-01-01 00:00:01.5", SkipReason::NotWholeSecond},
             {"2004-01-01 00:00:01.", SkipReason::TimeDateUnreadable},
             {"2072-01-19 03:14:07", INT32_MAX},
             {"2072-01-19 03:14:08", SkipReason::OutsideClock},
             {"1935-12-13 20:45:52", SkipReason::OutsideClock},
             {"2100-02-29 00:00:00", SkipReason::TimeDateUnreadable},
             {"2004-13-01 00:00:00", SkipReason::TimeDateUnreadable},
             {"37992.609", SkipReason::TimeDateUnreadable},
             {"", SkipReason::TimeDateUnreadable},
         }) {
        EXPECT_EQ(SecondsOfTimeDate(c.cell), c.expected) << c.cell;
    }
}

// Three instruments: one whose serial no sheet name may hold, one without an identification.
std::vector<History> Instruments() {
    History pellmar = HistoryOf({"1Q77", "11,P1,C,0.001,N,100,4", "12,P1,C,0.002,N,200,1"});
    History slashed = HistoryOf({"1Sa/b:[1]", "11,P2,C,0.5,E,100,28", "13,P2,C,,N,300,16"});
    History unknown;
    unknown.records = {Test("11", "P3", "C", "1", "N", 100, 4)};
    return {pellmar, slashed, unknown};
}

struct ExportCase {
    Engine engine;
    const char* format;
};

class InstrumentsExport : public testing::TestWithParam<ExportCase> {
  protected:
    void SetUp() override { MakeEmptyArchive(GetParam().engine, folder_, location_); }

    std::vector<History> selectAll() {
        Result<std::vector<History>, ArchiveError> selected = SelectTests(location_, {});
        if (!selected)
            ADD_FAILURE() << ArchiveErrorText(selected.error()).toStdString();
        return selected ? selected.value() : std::vector<History>{};
    }

    SheetArchiveResult import(const std::string& path) {
        SheetArchiveResult imported =
            ArchiveSheetFile(path, location_, QDateTime::currentDateTimeUtc());
        EXPECT_EQ(imported.outcome, SheetArchiveResult::Outcome::Imported);
        EXPECT_EQ(imported.rowsSkipped, 0u);
        return imported;
    }

    QTemporaryDir folder_;
    ArchiveLocation location_;
};

std::vector<std::string> Shown(const std::vector<History>& histories) {
    std::vector<std::string> shown;
    for (const History& history : histories) {
        shown.push_back(RowText(*history.identification));
        for (const std::string& row : TestRows(history))
            shown.push_back(row);
    }
    return shown;
}

// Exported and imported again, into the same archive nothing is added; into an empty one every
// test comes back under its own instrument.
TEST_P(InstrumentsExport, KeepsEveryTestsInstrument) {
    for (const History& history : Instruments())
        ASSERT_EQ(Why(StoreUpload(location_,
                                  {history, "/dev/ttyUSB0", 3, QDateTime::currentDateTimeUtc()})),
                  "");
    std::vector<History> archived = selectAll();
    ASSERT_EQ(archived.size(), 3u);
    std::string path = (folder_.path() + "/all." + GetParam().format).toStdString();
    ASSERT_TRUE(SaveHistories(archived, path).ok());

    SheetArchiveResult again = import(path);
    EXPECT_EQ(again.testsRead, 5u);
    EXPECT_EQ(again.newTests, 0);

    MakeEmptyArchive(GetParam().engine, folder_, location_);
    EXPECT_EQ(import(path).newTests, 5);
    EXPECT_EQ(Shown(selectAll()), Shown(archived));
}

INSTANTIATE_TEST_SUITE_P(
    EnginesAndFormats, InstrumentsExport,
    testing::Values(ExportCase{Engine::Sqlite, "xls"}, ExportCase{Engine::Sqlite, "xlsx"},
                    ExportCase{Engine::Sqlite, "csv"}, ExportCase{Engine::Postgres, "xls"},
                    ExportCase{Engine::Postgres, "xlsx"}, ExportCase{Engine::Postgres, "csv"}),
    [](const testing::TestParamInfo<ExportCase>& info) {
        return std::string(info.param.engine == Engine::Sqlite ? "Sqlite" : "Postgres") +
               info.param.format;
    });

}  // namespace
