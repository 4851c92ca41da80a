#include "export/cell_table.h"

#include <gtest/gtest.h>

namespace {

const std::string kNorvik = "SN = 4711;Model: Norvik";
const SheetRow kHeader{"SEQ#",      "PN",      "Cust Code", "Leak",   "Error",
                       "Time/Date", "GPRelay", "BPRelay",   "GERelay"};

std::string TestRow(const std::string& relay, const std::string& error = "Reject") {
    return "12;PN-7;CC9;0.25;" + error + ";Mar 04/21 10:20:30;" + relay;
}

SheetRow TestSheetRow(const char* g, const char* h, const char* i,
                      const std::string& error = "Reject") {
    return {"12", "PN-7", "CC9", "0.25", error, "Mar 04/21 10:20:30", g, h, i};
}

const SheetRow kMarker{"QM 4250 Power UP"};

TEST(CellTable, NoRequestYetCannotBeSaved) {
    EXPECT_FALSE(BuildCellTable({}, -1));
    EXPECT_FALSE(BuildCellTable({}, 0));
}

TEST(CellTable, RequestThatReceivedNothingGivesTheHeaderOnly) {
    std::vector<std::string> records(101);
    EXPECT_EQ(BuildCellTable(records, -1), CellTable{kHeader});
}

TEST(CellTable, IdentificationOnlyFillsRowTwo) {
    std::vector<std::string> records{kNorvik, ""};
    CellTable expected{kHeader, SheetRow{"SN = 4711", "Model: Norvik"}};
    EXPECT_EQ(BuildCellTable(records, 0), expected);
}

TEST(CellTable, PellmarAnywhereInTheModelTextSelectsTheRejectHeaders) {
    struct Case {
        std::string model;
        bool pellmar;
    };
    for (const Case& c : std::vector<Case>{{"Model: Pellmar", true},
                                           {"Model: XPellmar 2", true},
                                           {"Model: pellmar", false},
                                           {"Model: PELLMAR", false},
                                           {"Model: Norvik", false},
                                           {"Model: Dravon Flow", false}}) {
        std::optional<CellTable> table = BuildCellTable({"SN = 1;" + c.model}, 0);
        ASSERT_TRUE(table) << c.model;
        SheetRow header = kHeader;
        if (c.pellmar) {
            header[7] = "-Reject";
            header[8] = "+Reject";
        }
        EXPECT_EQ((*table)[0], header) << c.model;
        EXPECT_EQ((*table)[1][1], c.model);
    }
}

TEST(CellTable, RelayBitsTwoToFourAndThePowerUpMarker) {
    std::vector<std::string> records{kNorvik,       TestRow("4"), TestRow("1"),
                                     TestRow("24"), TestRow("2"), TestRow("29")};
    CellTable expected{kHeader,
                       SheetRow{"SN = 4711", "Model: Norvik"},
                       TestSheetRow("On", "Off", "Off"),
                       TestSheetRow("Off", "Off", "Off"),
                       kMarker,
                       TestSheetRow("Off", "On", "On"),
                       TestSheetRow("Off", "Off", "Off"),
                       TestSheetRow("On", "On", "On"),
                       kMarker};
    EXPECT_EQ(BuildCellTable(records, 5), expected);
}

TEST(CellTable, RowsBeyondRecordIndexAreNotRead) {
    std::vector<std::string> records{kNorvik, TestRow("4"), TestRow("8")};
    EXPECT_EQ(BuildCellTable(records, 1)->size(), 3u);
}

TEST(CellTable, TextsAreWrittenAsStoredAndAnEmptyErrorIsAnEmptyCell) {
    std::vector<std::string> records{kNorvik, TestRow("0", "")};
    EXPECT_EQ(BuildCellTable(records, 1)->back(), TestSheetRow("Off", "Off", "Off", ""));
}

TEST(CellTable, ItemsFromTheEighthOnAreIgnored) {
    std::vector<std::string> records{kNorvik, TestRow("16") + ";extra;more"};
    EXPECT_EQ(BuildCellTable(records, 1)->back(), TestSheetRow("Off", "Off", "On"));
}

TEST(CellTable, ReceivedBytesBecomeLatin1Characters) {
    std::vector<std::string> records{
        "SN = \xB5"
        "1;Model: Norvik",
        "1;P\xE9;\x01;L;E;T;0"};
    std::optional<CellTable> table = BuildCellTable(records, 1);
    EXPECT_EQ((*table)[1][0],
              "SN = \xC2\xB5"
              "1");
    EXPECT_EQ((*table)[2][1], "P\xC3\xA9");
    EXPECT_EQ((*table)[2][2], "\x01");
}

TEST(CellTable, EmptyRowsAreSkippedAndTheRestSaved) {
    std::vector<std::string> records{kNorvik, TestRow("4"), "", TestRow("8")};
    CellTable expected{kHeader, SheetRow{"SN = 4711", "Model: Norvik"},
                       TestSheetRow("On", "Off", "Off"), TestSheetRow("Off", "On", "Off")};
    EXPECT_EQ(BuildCellTable(records, 3), expected);
}

TEST(CellTable, FailedIdentificationRecordIsSkipped) {
    std::vector<std::string> records{"", TestRow("4")};
    EXPECT_EQ(BuildCellTable(records, 1), (CellTable{kHeader, TestSheetRow("On", "Off", "Off")}));
}

TEST(CellTable, RowsThatCannotBeReadStopTheSave) {
    struct Case {
        std::vector<std::string> records;
        int32_t recordIndex;
    };
    for (const Case& c : std::vector<Case>{
             {{kNorvik, "1;2;3;4;5;6"}, 1},      // six items
             {{kNorvik, TestRow("32768")}, 1},   // relay beyond 16 bits
             {{kNorvik, TestRow("four")}, 1},    // relay not a number
             {{kNorvik, "1;P;N;C;L;E;T;4"}, 1},  // a ';' in a field moves the relay
             {{"SN = 1 Model: Norvik"}, 0},      // identification without its two items
             {{kNorvik, TestRow("4")}, 2},       // a row that was never created
         }) {
        EXPECT_FALSE(BuildCellTable(c.records, c.recordIndex)) << c.records.back();
    }
}

TEST(CellTable, RowCountIsNotLimitedToSixteenBits) {
    std::vector<std::string> records{kNorvik};
    records.resize(40001, TestRow("1"));
    std::optional<CellTable> table = BuildCellTable(records, 40000);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2u + 2 * 40000);
    EXPECT_EQ(table->back(), kMarker);
}

}  // namespace
