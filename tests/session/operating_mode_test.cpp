#include <gtest/gtest.h>

#include "expected_texts.h"
#include "rig.h"

using namespace qm4250;

namespace {

struct ModeReplyCase {
    std::string body;
    const char* shownText;
    std::optional<OperatingMode> option;
    bool testInProgress;
};

class ModeReply : public testing::TestWithParam<ModeReplyCase> {};

TEST_P(ModeReply, ShowsModeAndWarnsOfATestInProgress) {
    Rig rig;
    FakeView& view = rig.view;
    view.currentMode = "before";
    view.modeOption = OperatingMode::Calibrate;
    rig.receiveFrame(GetParam().body);
    EXPECT_EQ(view.currentMode, GetParam().shownText);
    EXPECT_EQ(view.modeOption, GetParam().option);
    std::vector<std::string> expected;
    if (GetParam().testInProgress)
        expected.push_back(kTestInProgressText);
    EXPECT_EQ(view.messages, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, ModeReply,
    testing::Values(ModeReplyCase{"800", "SETUP", OperatingMode::SetUp, false},
                    ModeReplyCase{"810", "CALIBRATE", OperatingMode::Calibrate, false},
                    ModeReplyCase{"820", "RUN", OperatingMode::Run, false},
                    ModeReplyCase{"831", "DATA", OperatingMode::Data, true},
                    ModeReplyCase{"851", "before", OperatingMode::Calibrate, true},
                    ModeReplyCase{"8", "before", OperatingMode::Calibrate, false},
                    ModeReplyCase{"82", "RUN", OperatingMode::Run, false},
                    ModeReplyCase{"82x1", "RUN", OperatingMode::Run, false},
                    ModeReplyCase{"8?0", "before", OperatingMode::Calibrate, false},
                    ModeReplyCase{std::string("8\0"
                                              "1",
                                              3),
                                  "before", OperatingMode::Calibrate, true}));

struct ChangeModeCase {
    std::optional<OperatingMode> selected;
    std::string frame;
};

class ChangeModeFrame : public testing::TestWithParam<ChangeModeCase> {};

TEST_P(ChangeModeFrame, CarriesTheSelectedModeCharacter) {
    Rig rig;
    rig.view.modeOption = GetParam().selected;
    rig.controller.changeModeClicked();
    EXPECT_EQ(rig.takeWritten(), GetParam().frame);
    EXPECT_TRUE(rig.state().awaitingReply());
    EXPECT_TRUE(rig.timer.running);
}

INSTANTIATE_TEST_SUITE_P(Options, ChangeModeFrame,
                         testing::Values(ChangeModeCase{OperatingMode::SetUp, "\x02\x39\x30\x03"},
                                         ChangeModeCase{OperatingMode::Calibrate,
                                                        "\x02\x39\x31\x03"},
                                         ChangeModeCase{OperatingMode::Run, "\x02\x39\x32\x03"},
                                         ChangeModeCase{OperatingMode::Data, "\x02\x39\x33\x03"},
                                         ChangeModeCase{std::nullopt, "\x02\x39\x3f\x03"}));

TEST(GetMode, WritesTheQueryAndStartsTheTimer) {
    Rig rig;
    rig.view.status = "Error - data lost";
    rig.controller.getModeClicked();
    EXPECT_EQ(rig.takeWritten(), "\x02\x38\x03");
    EXPECT_EQ(rig.view.status, "");
    EXPECT_TRUE(rig.timer.running);
    EXPECT_TRUE(rig.state().awaitingReply());
    EXPECT_TRUE(rig.view.buttonLog.empty()) << "mode commands enable or disable nothing";
}

struct PortFailureCase {
    const char* name;
    bool failSelect, failOpen, failWrite;
};

class ModePortFailure : public testing::TestWithParam<PortFailureCase> {};

TEST_P(ModePortFailure, ShowsItsMessageAndSendsNothing) {
    for (bool change : {false, true}) {
        Rig rig;
        rig.port.failSelect = GetParam().failSelect;
        rig.port.failOpen = GetParam().failOpen;
        rig.port.failWrite = GetParam().failWrite;
        rig.view.currentMode = "RUN";
        rig.receive("stale");
        change ? rig.controller.changeModeClicked() : rig.controller.getModeClicked();
        EXPECT_EQ(rig.view.messages, std::vector<std::string>{kModePortFailureText});
        EXPECT_EQ(rig.view.details, std::vector<std::string>{"/dev/fake: the far end's reason"});
        EXPECT_EQ(rig.takeWritten(), "");
        EXPECT_FALSE(rig.timer.running);
        EXPECT_FALSE(rig.state().awaitingReply());
        EXPECT_EQ(rig.state().received(), "") << "steps before the failure stay done";
        EXPECT_EQ(rig.view.currentMode, "RUN");
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ModePortFailure,
                         testing::Values(PortFailureCase{"Select", true, false, false},
                                         PortFailureCase{"Open", false, true, false},
                                         PortFailureCase{"Write", false, false, true}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
