#include "session/record_counter.h"

#include <gtest/gtest.h>

#include "rig.h"

using namespace qm4250;

namespace {

struct CounterCase {
    int recordIndex;
    int unreadable;
    const char* requested;
    const char* text;
};

class RecordCounter : public testing::TestWithParam<CounterCase> {};

TEST_P(RecordCounter, CountsTestRecordsAgainstTheRequestedNumber) {
    EXPECT_EQ(
        RecordCounterText(GetParam().recordIndex, GetParam().unreadable, GetParam().requested),
        GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RecordCounter,
    testing::Values(CounterCase{0, 0, "", "Records: 0"}, CounterCase{120, 0, "", "Records: 120"},
                    CounterCase{120, 0, "500", "Records: 120 of 500"},
                    CounterCase{3, 0, " 3.0 ", "Records: 3 of 3"},
                    CounterCase{0, 0, "0", "Records: 0 of 0"},
                    CounterCase{7, 0, "all", "Records: 7"}, CounterCase{7, 0, "2.5", "Records: 7"},
                    CounterCase{7, 0, "-1", "Records: 7"},
                    CounterCase{40000, 0, "", "Records: 40000"},
                    CounterCase{120, 1, "", "Records: 120 (1 unreadable)"},
                    CounterCase{0, 1, "", "Records: 0 (1 unreadable)"},
                    CounterCase{120, 3, "200", "Records: 120 of 200 (3 unreadable)"}));

TEST(RecordCounter, FollowsAnUploadAndStartsAgainAtRequest) {
    Rig rig;
    rig.controller.getModeClicked();
    rig.receiveFrame("820");
    EXPECT_EQ(rig.view.recordCounter, "") << "no upload yet";

    rig.view.numValues = "2";
    rig.controller.requestClicked();
    EXPECT_EQ(rig.view.recordCounter, "Records: 0 of 2");
    rig.receiveFrame("1S42");
    rig.receiveFrame("11,P,C,0.5,N,0,0");
    EXPECT_EQ(rig.view.recordCounter, "Records: 1 of 2");
    rig.receiveFrame("12,P,C,0.5,N,0,0");
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.recordCounter, "Records: 2 of 2") << "kept after the upload ends";

    rig.view.numValues = "";
    rig.controller.requestClicked();
    EXPECT_EQ(rig.view.recordCounter, "Records: 0");
}

// Each failure of decoding counts once, the identification's too; a new upload starts at none.
TEST(RecordCounter, CountsUnreadableRecordsOfTheUpload) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1");
    rig.receiveFrame("11,P,C,0.5,N,0,0");
    rig.receiveFrame("12,P,C,0.5,N,0");
    rig.receiveFrame("13,P,C,0.5,N,x,0");
    rig.receiveFrame("14,P,C,0.5,N,0,70000");
    rig.receiveFrame("15,P;X,C,0.5,N,0,0");
    EXPECT_EQ(rig.view.recordCounter, "Records: 5 (4 unreadable)");
    EXPECT_EQ(rig.controller.state().history()->records.size(), 2u);

    rig.controller.timerTick();
    rig.controller.requestClicked();
    EXPECT_EQ(rig.view.recordCounter, "Records: 0");
    EXPECT_TRUE(rig.controller.state().history()->records.empty());
}

}  // namespace
