// The instrument's cable pulled at the phases no other test covers (mid-frame and between frames
// are in serial_link_test and the end-to-end upload tests): the real window on the real serial
// port, a pseudo-terminal whose master is closed playing the pulled cable.
#include "expected_texts.h"
#include "message_box_catcher.h"
#include "pty_window_test.h"

using namespace qm4250;

namespace {

constexpr int kWaitMs = 5000;  // only there to keep a broken build from hanging

enum class Phase {
    BeforeRequest,    // the port was never opened
    BeforeModeReply,  // Get Mode sent, nothing came back
    MidModeReply,     // half a mode reply came, then nothing
};

struct UnplugCase {
    const char* name;
    Phase phase;
    bool lostDuringExchange;  // panel 1 says so; else it stays empty
};

class Unplug : public PtyWindowTest, public testing::WithParamInterface<UnplugCase> {
  protected:
    bool idle() const {
        return find<QPushButton>("cmdSave")->isEnabled() &&
               find<QPushButton>("cmdReqMode")->isEnabled() && !port_.isOpen();
    }
    // Waits until the program's command has reached the instrument's end of the line.
    bool commandArrives() {
        auto complete = [](const std::string& text) {
            return text.find('\x03') != std::string::npos;
        };
        return complete(receiveFromProgram(complete, kWaitMs));
    }
};

TEST_P(Unplug, TheWindowReturnsToIdleAndTheNextCommandReportsThePort) {
    ASSERT_TRUE(instrument_.valid());
    find<QLineEdit>("txtCurrentMode")->setText("RUN");
    switch (GetParam().phase) {
        case Phase::BeforeRequest: {
            instrument_.closeMaster();
            MessageBoxCatcher catcher;
            click("cmdRequest");
            EXPECT_EQ(catcher.texts, QStringList{kRequestPortFailureText});
            EXPECT_FALSE(window_->controller().state().history()) << "nothing started";
            break;
        }
        case Phase::BeforeModeReply:
            click("cmdReqMode");
            ASSERT_TRUE(commandArrives());
            instrument_.closeMaster();
            break;
        case Phase::MidModeReply:
            click("cmdReqMode");
            ASSERT_TRUE(commandArrives());
            instrument_.send(
                "\x02"
                "8");
            instrument_.closeMaster();
            break;
    }
    // The lost device closes the port at once and is said in place of a missing reply.
    QString expected =
        GetParam().lostDuringExchange
            ? QString::fromStdString("Error - port closed: " + instrument_.slavePath() +
                                     ": the device disappeared")
            : QString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle() && status() == expected; }, kWaitMs))
        << status().toStdString();
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "RUN") << "no reply, no mode change";

    MessageBoxCatcher catcher;
    click("cmdSetMode");
    EXPECT_EQ(catcher.texts, QStringList{kModePortFailureText});
    EXPECT_FALSE(port_.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Phases, Unplug,
    testing::Values(UnplugCase{"BeforeRequest", Phase::BeforeRequest, false},
                    UnplugCase{"BeforeModeReply", Phase::BeforeModeReply, true},
                    UnplugCase{"MidModeReply", Phase::MidModeReply, true}),
    [](const testing::TestParamInfo<UnplugCase>& info) { return info.param.name; });

}  // namespace
