#include "session/receive_handler.h"

#include <gtest/gtest.h>

#include <string>

#include "history_rows.h"
#include "rig.h"

using namespace qm4250;

namespace {

const std::string S = "\x02";
const std::string E = "\x03";
const std::string kTestRecord = "112,P,C,5,N,0,0";

// A rig with an upload under way: REQUEST sent, nothing received yet.
TEST(ReceiveHandler, FrameInPiecesIsDecodedOnceWhenTheEtxArrives) {
    UploadRig rig;
    rig.receive(S);
    rig.receive("1S4");
    EXPECT_EQ(rig.state().recordIndex(), -1);
    EXPECT_EQ(rig.takeWritten(), "");
    EXPECT_FALSE(rig.state().awaitingReply()) << "any arrival of text clears it";
    rig.receive("2" + E);
    EXPECT_EQ(rig.state().recordIndex(), 0);
    EXPECT_EQ(rig.view.list, std::vector<std::string>{"SN = 42  Model: Norvik"});
    EXPECT_EQ(rig.takeWritten(), kAck);
}

TEST(ReceiveHandler, StrayTextAroundAFrameIsDiscarded) {
    UploadRig rig;
    rig.receive("abc" + S + "1S42" + E + "xyz");
    EXPECT_EQ(RowText(*rig.state().history()->identification), "SN = 42;Model: Norvik");
    EXPECT_EQ(rig.takeWritten(), kAck);
    EXPECT_EQ(rig.state().received(), "");
}

TEST(ReceiveHandler, TwoFramesInOneReadDecodeOnlyTheFirst) {
    UploadRig rig;
    rig.receive(S + "1S42" + E + S + "1" + kTestRecord + E);
    EXPECT_EQ(rig.state().recordIndex(), 0);
    EXPECT_EQ(rig.takeWritten(), kAck);
}

TEST(ReceiveHandler, FrameBehindALoneEtxIsStillDecodedAndAnswered) {
    UploadRig rig;
    rig.receive(E);
    EXPECT_EQ(rig.state().received(), E);
    rig.receiveFrame("1S42");
    EXPECT_EQ(rig.state().recordIndex(), 0);
    EXPECT_EQ(rig.takeWritten(), kAck);
}

TEST(ReceiveHandler, StrayEtxDoesNotDiscardTheRestOfAFrameStillArriving) {
    UploadRig rig;
    rig.receive("x" + E + S + "1S");
    rig.receive("42" + E);
    EXPECT_EQ(RowText(*rig.state().history()->identification), "SN = 42;Model: Norvik");
    EXPECT_EQ(rig.takeWritten(), kAck);
}

TEST(ReceiveHandler, EmptyOrUnknownBodiesAreDroppedWithoutAReply) {
    for (std::string body : {"", "7abc", "S42", "\x06"}) {
        UploadRig rig;
        int startsBefore = rig.timer.starts;
        rig.receiveFrame(body);
        EXPECT_EQ(rig.takeWritten(), "") << body;
        EXPECT_EQ(rig.state().recordIndex(), -1);
        EXPECT_EQ(rig.timer.starts, startsBefore);
        EXPECT_TRUE(rig.view.messages.empty());
    }
}

TEST(ReceiveHandler, ModeReplyIsDecodedNeverAnsweredAndLeavesTheTimerRunning) {
    UploadRig rig;
    int startsBefore = rig.timer.starts;
    rig.receiveFrame("820");
    EXPECT_EQ(rig.view.currentMode, "RUN");
    EXPECT_EQ(rig.takeWritten(), "");
    EXPECT_EQ(rig.timer.starts, startsBefore);
    EXPECT_TRUE(rig.timer.running);
}

struct CountCase {
    const char* numValues;
    int frames;           // identification record plus test records sent
    const char* replies;  // 'A' for ACK, 'C' for CAN, per frame
};

class RequestedCount : public testing::TestWithParam<CountCase> {};

TEST_P(RequestedCount, CancelsAtTheRequestedRecord) {
    UploadRig rig;
    rig.view.numValues = GetParam().numValues;
    std::string replies;
    rig.receiveFrame("1S42");
    for (int k = 1; k < GetParam().frames; ++k)
        rig.receiveFrame("1" + kTestRecord);
    for (char c : rig.takeWritten())
        replies += c == '\x06' ? 'A' : c == '\x18' ? 'C' : '?';
    EXPECT_EQ(replies, GetParam().replies);
}

INSTANTIATE_TEST_SUITE_P(Counts, RequestedCount,
                         testing::Values(CountCase{"3", 6, "AAACCC"}, CountCase{" 3 ", 4, "AAAC"},
                                         CountCase{"3.0", 4, "AAAC"}, CountCase{"0", 3, "CCC"},
                                         CountCase{"", 5, "AAAAA"}, CountCase{"all", 5, "AAAAA"},
                                         CountCase{"-1", 5, "AAAAA"},
                                         CountCase{"2.5", 5, "AAAAA"}));

TEST(ReceiveHandler, CanIsNotFollowedByATimerRestart) {
    UploadRig rig;
    rig.view.numValues = "0";
    int startsBefore = rig.timer.starts;
    rig.receiveFrame("1S42");
    EXPECT_EQ(rig.takeWritten(), kCan);
    EXPECT_EQ(rig.timer.starts, startsBefore);
}

TEST(ReceiveHandler, EditingTheCountMidUploadTakesEffectAtTheNextFrame) {
    UploadRig rig;
    rig.receiveFrame("1S42");
    rig.receiveFrame("1" + kTestRecord);
    rig.view.numValues = "2";
    rig.receiveFrame("1" + kTestRecord);
    EXPECT_EQ(rig.takeWritten(), kAck + kAck + kCan);
}

TEST(ReceiveHandler, HistoryFrameBeforeAnyRequestGetsNoReply) {
    Rig rig;
    rig.controller.getModeClicked();
    rig.takeWritten();
    int startsBefore = rig.timer.starts;
    rig.receiveFrame("1" + kTestRecord);
    EXPECT_EQ(rig.takeWritten(), "");
    EXPECT_EQ(rig.timer.starts, startsBefore);
    EXPECT_EQ(rig.view.list.size(), 1u);
}

TEST(ReceiveHandler, AFailedReplyWriteIsIgnored) {
    UploadRig rig;
    rig.port.failWrite = true;
    rig.receiveFrame("1S42");
    EXPECT_EQ(rig.state().recordIndex(), 0);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(ReceiveHandler, UndecodableHistoryFrameIsStillAnswered) {
    UploadRig rig;
    rig.receiveFrame("1S42");
    rig.receiveFrame("1only,three,fields");
    EXPECT_EQ(rig.takeWritten(), kAck + kAck);
    EXPECT_EQ(rig.state().recordIndex(), 1);
}

struct LineErrorCase {
    LineError error;
    const char* text;
};

class LineErrors : public testing::TestWithParam<LineErrorCase> {};

TEST_P(LineErrors, AreReportedAndLeaveWhatIsBuffered) {
    UploadRig rig;
    rig.receive(S + "1S42");
    rig.port.incoming = E;  // waiting in the port, not read at a line error
    rig.controller.lineError(GetParam().error);
    EXPECT_EQ(rig.view.status, GetParam().text);
    EXPECT_EQ(rig.state().recordIndex(), -1);
    EXPECT_EQ(rig.port.incoming, E);
    rig.controller.dataReceived();
    EXPECT_EQ(rig.state().recordIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(Errors, LineErrors,
                         testing::Values(LineErrorCase{LineError::Break, "Error - break received"},
                                         LineErrorCase{LineError::Framing, "Error - framing error"},
                                         LineErrorCase{LineError::Overrun, "Error - data lost"},
                                         LineErrorCase{LineError::Parity, "Error - Parity error"},
                                         LineErrorCase{LineError::TxFull, "Error - TX buffer full"},
                                         LineErrorCase{LineError::Dcb, "Error - retrieving DCB"}));

TEST(ReceiveHandler, RxOverflowDiscardsEverythingReceived) {
    UploadRig rig;
    rig.receive(S + "1S4");
    rig.port.incoming = "2" + E;
    rig.controller.lineError(LineError::RxOverflow);
    EXPECT_EQ(rig.view.status, "Error - RX buffer overflow");
    EXPECT_EQ(rig.state().received(), "");
    EXPECT_EQ(rig.port.incoming, "");
    EXPECT_EQ(rig.state().recordIndex(), -1);
}

}  // namespace
