// The instrument's cable pulled at the phases no other test covers (mid-frame and between frames
// are in serial_link_test and the end-to-end upload tests): the real window on the real serial
// port, a pseudo-terminal whose master is closed playing the pulled cable.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <memory>

#include "app/link_wiring.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "link/qt_response_timer.h"
#include "link/qt_serial_port.h"
#include "message_box_catcher.h"
#include "pseudo_terminal.h"

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
    const char* status;  // the status text once the window is idle again
};

class Unplug : public testing::TestWithParam<UnplugCase> {
  protected:
    Unplug() {
        setenv("QM4250_COMM1", instrument_.slavePath().c_str(), 1);
        window_ = std::make_unique<MainWindow>(port_, timer_, SettingsPath("/nonexistent/"));
        WireLinkToWindow(port_, timer_, *window_);
    }
    ~Unplug() override { unsetenv("QM4250_COMM1"); }

    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QString status() const { return find<QLabel>("Panel1")->text(); }
    bool idle() const {
        return find<QPushButton>("cmdSave")->isEnabled() &&
               find<QPushButton>("cmdReqMode")->isEnabled() && !port_.isOpen();
    }
    // Waits until the program's command has reached the instrument's end of the line.
    bool commandArrives() {
        std::string received;
        return QTest::qWaitFor(
            [&] {
                received += instrument_.receive();
                return received.find('\x03') != std::string::npos;
            },
            kWaitMs);
    }

    PseudoTerminal instrument_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    std::unique_ptr<MainWindow> window_;
};

TEST_P(Unplug, TheWindowReturnsToIdleAndTheNextCommandReportsThePort) {
    ASSERT_TRUE(instrument_.valid());
    find<QLineEdit>("txtCurrentMode")->setText("RUN");
    switch (GetParam().phase) {
        case Phase::BeforeRequest: {
            instrument_.closeMaster();
            MessageBoxCatcher catcher;
            click("cmdRequest");
            EXPECT_EQ(catcher.texts, QStringList{"Can't open comm port"});
            EXPECT_EQ(window_->controller().state().RecordIndex, -1);
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
    // The lost device closes the port at once; a missing reply is reported by the timeout.
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle() && status() == GetParam().status; }, kWaitMs))
        << status().toStdString();
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "RUN") << "no reply, no mode change";

    MessageBoxCatcher catcher;
    click("cmdSetMode");
    EXPECT_EQ(catcher.texts, QStringList{"Can't open comm port!"});
    EXPECT_FALSE(port_.isOpen());
}

INSTANTIATE_TEST_SUITE_P(Phases, Unplug,
                         testing::Values(UnplugCase{"BeforeRequest", Phase::BeforeRequest, ""},
                                         UnplugCase{"BeforeModeReply", Phase::BeforeModeReply,
                                                    "Error - No response from QM4250"},
                                         UnplugCase{"MidModeReply", Phase::MidModeReply, ""}),
                         [](const testing::TestParamInfo<UnplugCase>& info) {
                             return info.param.name;
                         });

}  // namespace
