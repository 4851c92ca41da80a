// Whole exchanges: a command, what comes back, and the response timeout that ends it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "expected_texts.h"
#include "rig.h"

using namespace qm4250;

namespace {

const std::string kTestRecord = "112,P,C,5,N,0,0";

void ExpectUploadButtonsEnabled(const FakeView& view, bool enabled) {
    EXPECT_EQ(view.enabled(Button::Save), enabled);
    EXPECT_EQ(view.enabled(Button::SetMode), enabled);
    EXPECT_EQ(view.enabled(Button::ReqMode), enabled);
    EXPECT_TRUE(view.enabled(Button::Request));
    EXPECT_TRUE(view.enabled(Button::Cancel));
}

TEST(Request, StartsAFreshUpload) {
    Rig rig;
    rig.view.list = {"old line"};
    rig.view.status = "Error - data lost";
    rig.receive("junk");
    rig.controller.portOptionClicked(3);
    rig.controller.requestClicked();
    EXPECT_EQ(rig.takeWritten(), "\x02\x31\x03");
    EXPECT_EQ(rig.port.selected, 3);
    EXPECT_TRUE(rig.view.list.empty());
    EXPECT_EQ(rig.view.status, "");
    EXPECT_EQ(rig.state().recordIndex(), -1);
    ASSERT_TRUE(rig.state().history());
    EXPECT_TRUE(rig.state().history()->records.empty());
    EXPECT_EQ(rig.state().reply(), Reply::Ack);
    EXPECT_EQ(rig.state().received(), "");
    EXPECT_TRUE(rig.state().awaitingReply());
    EXPECT_TRUE(rig.timer.running);
    ExpectUploadButtonsEnabled(rig.view, false);
    EXPECT_EQ(rig.view.buttonLog, (std::vector<std::string>{"-Save", "-SetMode", "-ReqMode"}));
}

TEST(Request, SecondRequestDiscardsThePreviousUploadAndUsesTheOpenPort) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.receiveFrame("1" + kTestRecord);
    rig.takeWritten();
    rig.controller.requestClicked();
    EXPECT_EQ(rig.takeWritten(), "\x02\x31\x03");
    EXPECT_EQ(rig.port.opens, 1);
    EXPECT_EQ(rig.state().recordIndex(), -1);
    EXPECT_FALSE(rig.state().history()->identification);
    EXPECT_TRUE(rig.state().history()->records.empty());
    EXPECT_TRUE(rig.view.list.empty());
}

struct PortFailureCase {
    const char* name;
    bool failSelect, failOpen, failWrite;
};

class RequestPortFailure : public testing::TestWithParam<PortFailureCase> {};

// The last upload is discarded only once the command is on the line: after a port failure the
// list, the history and the counter are as they were, and SAVE saves them.
TEST_P(RequestPortFailure, ShowsItsMessageAndKeepsTheLastUpload) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.receiveFrame("1" + kTestRecord);
    rig.controller.timerTick();
    rig.takeWritten();
    const std::vector<std::string> list = rig.view.list;
    const std::string counter = rig.view.recordCounter;
    rig.view.status = "Error - framing error";
    rig.view.buttonLog.clear();

    rig.port.failSelect = GetParam().failSelect;
    rig.port.failOpen = GetParam().failOpen;
    rig.port.failWrite = GetParam().failWrite;
    rig.controller.requestClicked();
    EXPECT_EQ(rig.view.messages, std::vector<std::string>{kRequestPortFailureText});
    EXPECT_EQ(rig.takeWritten(), "");
    EXPECT_EQ(rig.view.list, list);
    EXPECT_EQ(rig.view.recordCounter, counter);
    EXPECT_EQ(rig.view.status, "Error - framing error");
    EXPECT_EQ(rig.state().recordIndex(), 1);
    ASSERT_EQ(rig.state().history()->records.size(), 1u);
    EXPECT_FALSE(rig.state().awaitingReply());
    EXPECT_TRUE(rig.view.buttonLog.empty());
    EXPECT_FALSE(rig.timer.running) << "no reply is awaited, so no upload can end";
    EXPECT_EQ(rig.view.status, "Error - framing error");
    EXPECT_FALSE(rig.port.opened);
    ExpectUploadButtonsEnabled(rig.view, true);

    rig.view.saveFileName = testing::TempDir() + "kept_" + GetParam().name + ".csv";
    rig.controller.saveClicked();
    EXPECT_EQ(rig.view.status, kSavedText);
    std::ifstream saved(rig.view.saveFileName);
    std::string header, identification, record;
    std::getline(saved, header);
    std::getline(saved, identification);
    std::getline(saved, record);
    EXPECT_EQ(identification.substr(0, 7), "SN = 42");
    EXPECT_EQ(record.substr(0, 4), "112,");
}

INSTANTIATE_TEST_SUITE_P(Steps, RequestPortFailure,
                         testing::Values(PortFailureCase{"Select", true, false, false},
                                         PortFailureCase{"Open", false, true, false},
                                         PortFailureCase{"Write", false, false, true}),
                         [](const auto& info) { return info.param.name; });

TEST(ResponseTimeout, NoResponseIsReportedAndTheButtonsComeBack) {
    Rig rig;
    rig.controller.requestClicked();
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.status, kNoResponseText);
    EXPECT_FALSE(rig.state().awaitingReply());
    EXPECT_FALSE(rig.timer.running);
    EXPECT_FALSE(rig.port.opened);
    ExpectUploadButtonsEnabled(rig.view, true);
    EXPECT_EQ(rig.view.buttonLog, (std::vector<std::string>{"-Save", "-SetMode", "-ReqMode",
                                                            "+Save", "+SetMode", "+ReqMode"}));
}

TEST(ResponseTimeout, AStrayCharacterAfterGetModeCountsAsAnAnswer) {
    Rig rig;
    rig.controller.getModeClicked();
    rig.receive("?");
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.status, "");
    EXPECT_FALSE(rig.port.opened);
}

TEST(ResponseTimeout, GetModeAnsweredShowsTheModeAndEndsSilently) {
    Rig rig;
    rig.controller.getModeClicked();
    rig.receiveFrame("830");
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.currentMode, "DATA");
    EXPECT_EQ(rig.view.status, "");
    EXPECT_FALSE(rig.port.opened);
}

TEST(ResponseTimeout, EndsTheUploadKeepingEveryRecord) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    for (int k = 0; k < 5; ++k)
        rig.receiveFrame("1" + kTestRecord);
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.status, "");
    EXPECT_EQ(rig.state().recordIndex(), 5);
    EXPECT_EQ(rig.view.list.size(), 6u);
    ExpectUploadButtonsEnabled(rig.view, true);
    EXPECT_FALSE(rig.port.opened);
}

TEST(ResponseTimeout, EveryAckRestartsTheTimerAndCanDoesNot) {
    Rig rig;
    rig.controller.requestClicked();
    EXPECT_EQ(rig.timer.starts, 1);
    rig.receiveFrame("1S42");
    rig.receiveFrame("1" + kTestRecord);
    EXPECT_EQ(rig.timer.starts, 3);
    rig.controller.cancelClicked();
    EXPECT_EQ(rig.takeWritten(), "\x02\x31\x03" + kAck + kAck) << "CANCEL writes nothing itself";
    rig.receiveFrame("1" + kTestRecord);
    rig.receiveFrame("1" + kTestRecord);
    EXPECT_EQ(rig.takeWritten(), kCan + kCan);
    EXPECT_EQ(rig.timer.starts, 3);
    EXPECT_TRUE(rig.timer.running);
}

TEST(Cancel, BeforeTheFirstFrameAnswersTheIdentificationRecordWithCan) {
    Rig rig;
    rig.controller.requestClicked();
    rig.controller.cancelClicked();
    rig.receiveFrame("1S42");
    EXPECT_EQ(rig.takeWritten(), "\x02\x31\x03" + kCan);
}

TEST(Cancel, WithNoUploadRunningHasNoEffectOnTheNextRequest) {
    Rig rig;
    rig.controller.cancelClicked();
    EXPECT_EQ(rig.takeWritten(), "");
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    EXPECT_EQ(rig.takeWritten(), "\x02\x31\x03" + kAck);
}

TEST(PortOption, TakesEffectAtTheNextCommand) {
    Rig rig;
    rig.controller.portOptionClicked(5);
    EXPECT_FALSE(rig.port.opened);
    rig.controller.getModeClicked();
    EXPECT_EQ(rig.port.selected, 5);
}

TEST(PortOption, ACommandWhileThePortIsOpenGoesOutOnTheOpenPort) {
    Rig rig;
    rig.controller.getModeClicked();
    rig.controller.portOptionClicked(2);
    rig.controller.getModeClicked();
    EXPECT_EQ(rig.port.opens, 1);
    EXPECT_EQ(rig.takeWritten(), "\x02\x38\x03\x02\x38\x03");
    EXPECT_TRUE(rig.view.messages.empty());
}

}  // namespace
