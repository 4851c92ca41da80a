// The window over the real serial port, with a pseudo-terminal playing the instrument.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>

#include "app/link_wiring.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "link/qt_response_timer.h"
#include "link/qt_serial_port.h"
#include "message_box_catcher.h"
#include "pseudo_terminal.h"

namespace {

constexpr int kWaitMs = 3000;

class SerialLinkTest : public testing::Test {
  protected:
    SerialLinkTest() {
        setenv("QM4250_COMM1", instrument_.slavePath().c_str(), 1);
        setenv("QM4250_COMM2", "/dev/qm4250-no-such-port", 1);
        window_ = std::make_unique<MainWindow>(port_, timer_, SettingsPath("/nonexistent/"));
        WireLinkToWindow(port_, timer_, *window_);
    }
    ~SerialLinkTest() override {
        unsetenv("QM4250_COMM1");
        unsetenv("QM4250_COMM2");
    }

    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QListWidget* list() const { return find<QListWidget>("List1"); }
    bool idle() const { return find<QPushButton>("cmdSave")->isEnabled(); }

    // Reads what the program wrote, giving the event loop time to run.
    std::string receiveFromProgram(std::size_t bytes) {
        std::string received;
        (void)QTest::qWaitFor(
            [&] {
                received += instrument_.receive();
                return received.size() >= bytes;
            },
            kWaitMs);
        return received;
    }

    PseudoTerminal instrument_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(SerialLinkTest, UploadIsShownAndEveryFrameAcknowledged) {
    ASSERT_TRUE(instrument_.valid());
    click("cmdRequest");
    EXPECT_EQ(receiveFromProgram(3), "\x02\x31\x03");
    instrument_.send(
        "\x02"
        "1S42\x03");
    EXPECT_EQ(receiveFromProgram(1), "\x06");
    for (int k = 1; k <= 3; ++k) {
        instrument_.send(
            "\x02"
            "1" +
            std::to_string(k) + ",P,C,0.5,N,0,28\x03");
        EXPECT_EQ(receiveFromProgram(1), "\x06") << k;
    }
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->item(0)->text(), "SN = 42  Model: Norvik");
    EXPECT_EQ(window_->controller().state().Records[3], "3;P;C;0.5;;Jan 01/04 00:00:00;28");
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle(); }, kWaitMs));
    EXPECT_EQ(find<QLabel>("Panel1")->text(), "");
    EXPECT_FALSE(port_.isOpen());
}

TEST_F(SerialLinkTest, GetModeShowsTheReply) {
    click("cmdReqMode");
    EXPECT_EQ(receiveFromProgram(3), "\x02\x38\x03");
    instrument_.send(
        "\x02"
        "820\x03");
    EXPECT_TRUE(QTest::qWaitFor([&] { return find<QLineEdit>("txtCurrentMode")->text() == "RUN"; },
                                kWaitMs));
    EXPECT_TRUE(find<QRadioButton>("optRun")->isChecked());
}

TEST_F(SerialLinkTest, NoInstrumentMeansNoResponse) {
    click("cmdRequest");
    EXPECT_EQ(receiveFromProgram(3), "\x02\x31\x03");
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle(); }, kWaitMs));
    EXPECT_EQ(find<QLabel>("Panel1")->text(), "Error - No response from QM4250");
}

TEST_F(SerialLinkTest, AMissingPortIsReportedWithTheReasonAndNothingIsSent) {
    find<QRadioButton>("optComm2")->click();
    MessageBoxCatcher catcher;
    click("cmdRequest");
    click("cmdSetMode");
    EXPECT_EQ(catcher.texts, (QStringList{"Can't open comm port", "Can't open comm port!"}));
    EXPECT_TRUE(catcher.informativeTexts.value(0).contains("/dev/qm4250-no-such-port"))
        << catcher.informativeTexts.value(0).toStdString();
    EXPECT_EQ(instrument_.receive(100), "");
}

TEST_F(SerialLinkTest, APulledCableKeepsTheRecordsAndTheNextRequestReportsThePort) {
    click("cmdRequest");
    receiveFromProgram(3);
    instrument_.send(
        "\x02"
        "1S42\x03");
    receiveFromProgram(1);
    instrument_.send(
        "\x02"
        "11,P,C,0.5,N,0,0\x03");
    receiveFromProgram(1);
    instrument_.send(
        "\x02"
        "12,P,C,0.5");  // half a frame, then the cable goes
    instrument_.closeMaster();

    EXPECT_TRUE(QTest::qWaitFor([&] { return idle(); }, kWaitMs));
    EXPECT_EQ(window_->controller().state().RecordIndex, 1);
    EXPECT_EQ(list()->count(), 2);

    MessageBoxCatcher catcher;
    click("cmdRequest");
    EXPECT_EQ(catcher.texts, QStringList{"Can't open comm port"});
}

}  // namespace
