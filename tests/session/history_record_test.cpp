#include <gtest/gtest.h>

#include <string>

#include "history_rows.h"
#include "rig.h"

using namespace qm4250;

namespace {

constexpr const char* kRecord = "1000123,PN1,CUST01,0.0012,N,0,28";

struct IdentificationCase {
    const char* body;
    const char* line;
    const char* row;
    const char* caption;
};

class IdentificationRecord : public testing::TestWithParam<IdentificationCase> {};

TEST_P(IdentificationRecord, ShowsSerialAndModel) {
    UploadRig u;
    u.receiveFrame(std::string("1") + GetParam().body);
    EXPECT_EQ(u.state().recordIndex(), 0);
    ASSERT_EQ(u.view.list.size(), 1u);
    EXPECT_EQ(u.view.list[0], GetParam().line);
    ASSERT_TRUE(u.history().identification);
    EXPECT_EQ(RowText(*u.history().identification), GetParam().row);
    EXPECT_EQ(u.view.relayCaption, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Models, IdentificationRecord,
    testing::Values(
        IdentificationCase{"S42", "SN = 42  Model: Norvik", "SN = 42;Model: Norvik",
                           "GP   BP   GE  "},
        IdentificationCase{"Q42", "SN = 42  Model: Pellmar", "SN = 42;Model: Pellmar",
                           "GP  -Rej +Rej"},
        IdentificationCase{"H42", "SN = 42  Model: Dravon Flow", "SN = 42;Model: Dravon Flow",
                           "GP   BP   GE  "},
        IdentificationCase{"q42", "SN = 42  Model: q", "SN = 42;Model: q", "GP   BP   GE  "},
        IdentificationCase{"X7", "SN = 7  Model: X", "SN = 7;Model: X", "GP   BP   GE  "},
        IdentificationCase{"S", "SN =   Model: Norvik", "SN = ;Model: Norvik", "GP   BP   GE  "},
        IdentificationCase{"S42,extra,fields", "SN = 42  Model: Norvik", "SN = 42;Model: Norvik",
                           "GP   BP   GE  "},
        IdentificationCase{",S42", "SN =   Model: ", "SN = ;Model: ", "GP   BP   GE  "}));

TEST(IdentificationRecord, EmptyBodyShowsNothingButCounts) {
    UploadRig u;
    u.view.relayCaption = "unchanged";
    u.receiveFrame("1");
    EXPECT_EQ(u.state().recordIndex(), 0);
    EXPECT_TRUE(u.view.list.empty());
    EXPECT_FALSE(u.history().identification);
    EXPECT_EQ(u.history().unreadable, std::vector<std::string>{"1"}) << "kept as received";
    EXPECT_EQ(u.view.relayCaption, "unchanged");
}

// Decodes one test record after an identification record.
void DecodeTestRecord(UploadRig& u, const std::string& body) {
    u.receiveFrame("1S42");
    u.view.list.clear();
    u.receiveFrame("1" + body);
}

struct TestRecordCase {
    const char* name;
    const char* body;
    std::vector<std::string> lines;
    const char* row;
};

class TestRecordDecoding : public testing::TestWithParam<TestRecordCase> {};

TEST_P(TestRecordDecoding, ShowsLineAndStoresRow) {
    UploadRig u;
    DecodeTestRecord(u, GetParam().body);
    EXPECT_EQ(u.state().recordIndex(), 1);
    EXPECT_EQ(u.view.list, GetParam().lines);
    std::string row = GetParam().row;
    EXPECT_EQ(TestRows(u.history()),
              row.empty() ? std::vector<std::string>{} : std::vector<std::string>{row});
    EXPECT_EQ(u.history().unreadable.size(), row.empty() ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TestRecordDecoding,
    testing::Values(
        TestRecordCase{"AllRelays",
                       "1000123,PN1,CUST01,0.0012,N,0,28",
                       {"1000123PN1 CUST01      0.0012      Jan 01/04 00:00:00   On   On   On "},
                       "1000123;PN1;CUST01;0.0012;;Jan 01/04 00:00:00;28"},
        TestRecordCase{"SixtyEightColumns",
                       "12,P,C,5,N,0,0",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;;Jan 01/04 00:00:00;0"},
        TestRecordCase{"ErrorCode",
                       "12,P,C,5,7,59,4",
                       {"12    P   C                5  *7  Jan 01/04 00:00:59   On   Off  Off"},
                       "12;P;C;5;*7;Jan 01/04 00:00:59;4"},
        TestRecordCase{"EmptyErrorField",
                       "12,P,C,5,,0,0",
                       {"12    P   C                5   *  Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;*;Jan 01/04 00:00:00;0"},
        TestRecordCase{"LowerCaseN",
                       "12,P,C,5,n,0,0",
                       {"12    P   C                5  *n  Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;*n;Jan 01/04 00:00:00;0"},
        TestRecordCase{"PowerUp",
                       "12,P,C,5,N,0,1",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off",
                        "QM4250 Power UP"},
                       "12;P;C;5;;Jan 01/04 00:00:00;1"},
        TestRecordCase{"BitOneOnly",
                       "12,P,C,5,N,0,2",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;;Jan 01/04 00:00:00;2"},
        TestRecordCase{"BitFiveOnly",
                       "12,P,C,5,N,0,32",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;;Jan 01/04 00:00:00;32"},
        TestRecordCase{"NegativeRelay",
                       "12,P,C,5,N,0,-1",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;;Jan 01/04 00:00:00;-1"},
        TestRecordCase{"SeqWiderThanColumn",
                       "1234567,P,C,5,N,0,0",
                       {"1234567P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "1234567;P;C;5;;Jan 01/04 00:00:00;0"},
        TestRecordCase{"FieldsAfterSeventhIgnored",
                       "12,P,C,5,N,0,0,extra,more",
                       {"12    P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "12;P;C;5;;Jan 01/04 00:00:00;0"},
        TestRecordCase{"SemicolonKeptInRow",
                       "1;2,P,C,5,N,0,0",
                       {"1;2   P   C                5      Jan 01/04 00:00:00   Off  Off  Off"},
                       "1;2;P;C;5;;Jan 01/04 00:00:00;0"},
        TestRecordCase{"SixFields", "12,P,C,5,N,0", {}, ""},
        TestRecordCase{"TimeNotANumber", "12,P,C,5,N,noon,0", {}, ""},
        TestRecordCase{"TimeOutOfRange", "12,P,C,5,N,2147483648,0", {}, ""},
        TestRecordCase{"RelayNotANumber", "12,P,C,5,N,0,x", {}, ""},
        TestRecordCase{"RelayOutOfRange", "12,P,C,5,N,0,32768", {}, ""},
        TestRecordCase{"EmptyBody", "", {}, ""}),
    [](const testing::TestParamInfo<TestRecordCase>& info) { return info.param.name; });

// A record that cannot be decoded moves the index on and is counted; every record after it is
// still kept, however long the upload.
TEST(TestRecordDecoding, AFailedRecordDoesNotCostTheRecordsAfterIt) {
    for (const char* failed : {"1100,P,C", "1100,P,C,5,N,x,0", "1100,P,C,5,N,0,x"}) {
        UploadRig u;
        u.receiveFrame("1S42");
        for (int k = 1; k <= 40000; ++k)
            u.receiveFrame(k == 100 ? failed : "1" + std::to_string(k) + ",P,C,5,N,0,0");
        EXPECT_EQ(u.state().recordIndex(), 40000) << failed;
        const std::vector<TestRecord>& records = u.history().records;
        ASSERT_EQ(records.size(), 39999u) << failed;
        EXPECT_EQ(u.history().unreadable, std::vector<std::string>{failed}) << failed;
        EXPECT_EQ(records[98].seq(), "99") << failed;
        EXPECT_EQ(RowText(records[99]), "101;P;C;5;;Jan 01/04 00:00:00;0") << failed;
        EXPECT_EQ(records.back().seq(), "40000") << failed;
    }
}

TEST(TestRecordDecoding, BeforeAnyRequestTheLineIsShownButNothingIsKept) {
    Rig u;
    u.receiveFrame(std::string("1") + kRecord);
    EXPECT_EQ(u.state().recordIndex(), 1);
    EXPECT_EQ(u.view.list.size(), 1u);
    EXPECT_FALSE(u.state().history());
}

}  // namespace
