// The window over the real serial port, with a pseudo-terminal playing the instrument.
#include "expected_texts.h"
#include "history_rows.h"
#include "message_box_catcher.h"
#include "pty_window_test.h"

using namespace qm4250;

namespace {

constexpr int kWaitMs = 3000;

class SerialLinkTest : public PtyWindowTest {
  protected:
    SerialLinkTest() { setenv("QM4250_COMM2", "/dev/qm4250-no-such-port", 1); }
    ~SerialLinkTest() override { unsetenv("QM4250_COMM2"); }

    QListWidget* list() const { return find<QListWidget>("List1"); }
    bool idle() const { return find<QPushButton>("cmdSave")->isEnabled(); }
    std::string receiveFromProgram(std::size_t bytes) {
        return PtyWindowTest::receiveFromProgram(
            [&](const std::string& received) { return received.size() >= bytes; }, kWaitMs);
    }
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
    EXPECT_EQ(RowText(window_->controller().state().history()->records.at(2)),
              "3;P;C;0.5;;Jan 01/04 00:00:00;28");
    EXPECT_TRUE(QTest::qWaitFor([&] { return idle(); }, kWaitMs));
    EXPECT_EQ(status(), "");
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
    EXPECT_EQ(status(), kNoResponseText);
}

TEST_F(SerialLinkTest, AMissingPortIsReportedWithTheReasonAndNothingIsSent) {
    find<QRadioButton>("optComm2")->click();
    MessageBoxCatcher catcher;
    click("cmdRequest");
    click("cmdSetMode");
    EXPECT_EQ(catcher.texts, (QStringList{kRequestPortFailureText, kModePortFailureText}));
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
    EXPECT_EQ(window_->controller().state().recordIndex(), 1);
    EXPECT_EQ(list()->count(), 2);

    MessageBoxCatcher catcher;
    click("cmdRequest");
    EXPECT_EQ(catcher.texts, QStringList{kRequestPortFailureText});
}

}  // namespace
