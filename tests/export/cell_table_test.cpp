#include "export/cell_table.h"

#include <gtest/gtest.h>

#include "history_rows.h"

using namespace qm4250;

namespace {

const SheetRow kHeader{"SEQ#",      "PN",      "Cust Code", "Leak",   "Error",
                       "Time/Date", "GPRelay", "BPRelay",   "GERelay"};
const SheetRow kNorvikRow{"SN = 4711", "Model: Norvik"};
const SheetRow kMarker{"QM 4250 Power UP"};

TestRecord Record(int16_t relays, const std::string& errorCode = "7") {
    return MakeRecord("12", "PN-7", "CC9", "0.25", errorCode, "Mar 04/21 10:20:30", relays);
}

SheetRow RecordRow(const char* g, const char* h, const char* i, const std::string& error = "*7") {
    return {"12", "PN-7", "CC9", "0.25", error, "Mar 04/21 10:20:30", g, h, i};
}

History Norvik(std::vector<TestRecord> records) {
    return History{Identification{"4711", "S", "Norvik"}, std::move(records), {}};
}

TEST(CellTable, AnUploadThatReceivedNothingGivesTheHeaderOnly) {
    EXPECT_EQ(BuildCellTable(History{}), CellTable{kHeader});
}

TEST(CellTable, IdentificationOnlyFillsRowTwo) {
    EXPECT_EQ(BuildCellTable(Norvik({})), (CellTable{kHeader, kNorvikRow}));
}

TEST(CellTable, ThePellmarModelNamesTheRejectRelays) {
    for (const char* frame : {"1Q1", "1q1", "1S1", "1H1", "1X1"}) {
        CellTable table = BuildCellTable(HistoryOf({frame}));
        bool pellmar = frame[1] == 'Q';
        EXPECT_EQ(table[0][7], pellmar ? "-Reject" : "BPRelay") << frame;
        EXPECT_EQ(table[0][8], pellmar ? "+Reject" : "GERelay") << frame;
    }
}

TEST(CellTable, RelayBitsTwoToFourAndThePowerUpMarker) {
    CellTable expected{kHeader,
                       kNorvikRow,
                       RecordRow("On", "Off", "Off"),
                       RecordRow("Off", "Off", "Off"),
                       kMarker,
                       RecordRow("Off", "On", "On"),
                       RecordRow("Off", "Off", "Off"),
                       RecordRow("On", "On", "On"),
                       kMarker,
                       RecordRow("Off", "Off", "Off")};
    EXPECT_EQ(BuildCellTable(
                  Norvik({Record(4), Record(1), Record(24), Record(2), Record(29), Record(-1)})),
              expected);
}

TEST(CellTable, NoErrorIsAnEmptyCell) {
    EXPECT_EQ(BuildCellTable(Norvik({Record(0, "N")})).back(), RecordRow("Off", "Off", "Off", ""));
}

// A field holding ";" once shifted every later cell of its row and failed the whole save.
TEST(CellTable, EveryFieldInItsOwnCellWhateverItHolds) {
    History history = Norvik({MakeRecord("1;2", "P;X", ";", "0;1", ";", "T", 4)});
    history.identification->serial = "47;11";
    CellTable table = BuildCellTable(history);
    EXPECT_EQ(table[1], (SheetRow{"SN = 47;11", "Model: Norvik"}));
    EXPECT_EQ(table[2], (SheetRow{"1;2", "P;X", ";", "0;1", "*;", "T", "On", "Off", "Off"}));
}

TEST(CellTable, ReceivedBytesBecomeLatin1Characters) {
    History history = Norvik({MakeRecord("1", "P\xE9", "\x01", "L", "E", "T", 0)});
    history.identification->serial =
        "\xB5"
        "1";
    CellTable table = BuildCellTable(history);
    EXPECT_EQ(table[1][0],
              "SN = \xC2\xB5"
              "1");
    EXPECT_EQ(table[2][1], "P\xC3\xA9");
    EXPECT_EQ(table[2][2], "\x01");
}

TEST(CellTable, UnreadableFramesLeaveNoRow) {
    History history = HistoryOf({"1", "11,P,C,L,N,0,4", "12,P,C", "13,P,C,L,N,0,8"});
    CellTable table = BuildCellTable(history);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1][0], "1");
    EXPECT_EQ(table[2][0], "3");
}

TEST(CellTable, RowCountIsNotLimitedToSixteenBits) {
    CellTable table = BuildCellTable(Norvik(std::vector<TestRecord>(40000, Record(1))));
    EXPECT_EQ(table.size(), 2u + 2 * 40000);
    EXPECT_EQ(table.back(), kMarker);
}

}  // namespace
