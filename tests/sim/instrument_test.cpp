#include "instrument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sim::Action;

const std::string kAck = "\x06";
const std::string kCan = "\x18";

std::string Framed(const std::string& body) {
    return "\x02" + body + "\x03";
}

const std::string kHistoryCommand = Framed("1");
const std::string kIdentification = Framed("1S42");
const std::string kRecord1 = Framed("1r1");
const std::string kRecord2 = Framed("1r2");

sim::History TwoRecords() {
    return {"1S42", {"1r1", "1r2"}};
}

std::string SentBytes(const std::vector<Action>& actions) {
    std::string bytes;
    for (const Action& action : actions) {
        EXPECT_EQ(action.kind, Action::Kind::kSend);
        bytes += action.bytes;
    }
    return bytes;
}

struct Step {
    std::string in;
    std::string out;
};

struct ExchangeCase {
    const char* name;
    bool testInProgress;
    std::vector<Step> steps;
};

class InstrumentExchange : public testing::TestWithParam<ExchangeCase> {};

TEST_P(InstrumentExchange, AnswersEachReadInOrder) {
    sim::Instrument instrument(TwoRecords(), {'2', GetParam().testInProgress, {}, {}});
    int index = 0;
    for (const Step& step : GetParam().steps) {
        EXPECT_EQ(SentBytes(instrument.Receive(step.in)), step.out) << "step " << index;
        ++index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exchanges, InstrumentExchange,
    testing::Values(
        ExchangeCase{"AckAfterEachRecordUntilExhausted",
                     false,
                     {{kHistoryCommand, kIdentification},
                      {kAck, kRecord1},
                      {kAck, kRecord2},
                      {kAck, ""},
                      {kAck, ""}}},
        ExchangeCase{
            "CanStopsTheUpload",
            false,
            {{kHistoryCommand, kIdentification}, {kAck, kRecord1}, {kCan, ""}, {kAck, ""}}},
        ExchangeCase{"CanOnTheIdentificationRecord",
                     false,
                     {{kHistoryCommand, kIdentification}, {kCan, ""}, {kAck, ""}}},
        ExchangeCase{"SecondCommandRestartsFromTheTop",
                     false,
                     {{kHistoryCommand, kIdentification},
                      {kAck, kRecord1},
                      {kHistoryCommand, kIdentification},
                      {kAck, kRecord1}}},
        ExchangeCase{"RepliesWithoutAnUploadIgnored",
                     false,
                     {{kAck, ""}, {kCan, ""}, {kHistoryCommand, kIdentification}}},
        ExchangeCase{"CommandSplitAcrossReads",
                     false,
                     {{"\x02", ""}, {"1", ""}, {"\x03", kIdentification}, {kAck, kRecord1}}},
        ExchangeCase{"GarbageAroundFramesIgnored",
                     false,
                     {{"xx\x03zz", ""},
                      {"ab" + kHistoryCommand + "cd", kIdentification},
                      {"q\x03", ""},
                      {kAck, kRecord1}}},
        ExchangeCase{"StxInsideAFrameStartsItAfresh",
                     false,
                     {{"\x02"
                       "9\x02"
                       "1\x03",
                       kIdentification}}},
        ExchangeCase{"ReplyCharacterInsideAFrameIsNotAReply",
                     false,
                     {{kHistoryCommand, kIdentification}, {"\x02\x06\x03", ""}, {kAck, kRecord1}}},
        ExchangeCase{"TwoCommandsInOneRead",
                     false,
                     {{Framed("8") + kHistoryCommand, Framed("820") + kIdentification}}},
        ExchangeCase{
            "ModeCommandDuringAnUploadLeavesItRunning",
            false,
            {{kHistoryCommand, kIdentification}, {Framed("8"), Framed("820")}, {kAck, kRecord1}}},
        ExchangeCase{"GetAndSetEveryMode",
                     false,
                     {{Framed("8"), Framed("820")},
                      {Framed("90"), Framed("800")},
                      {Framed("8"), Framed("800")},
                      {Framed("91"), Framed("810")},
                      {Framed("93"), Framed("830")},
                      {Framed("92"), Framed("820")}}},
        ExchangeCase{"NoModeOrUnknownModeLeavesTheMode",
                     false,
                     {{Framed("90"), Framed("800")},
                      {Framed("9?"), Framed("800")},
                      {Framed("95"), Framed("800")},
                      {Framed("9"), Framed("800")}}},
        ExchangeCase{"TestInProgressRefusesTheChange",
                     true,
                     {{Framed("90"), Framed("821")}, {Framed("8"), Framed("821")}}},
        ExchangeCase{"EmptyAndUnknownBodiesUnanswered",
                     false,
                     {{Framed(""), ""}, {Framed("5"), ""}, {Framed("x1"), ""}}}),
    [](const auto& info) { return info.param.name; });

TEST(InstrumentFaults, PausesBeforeTheChosenRecords) {
    sim::Instrument instrument(TwoRecords(), {'2', false, {{0, 100}, {2, 800}}, {}});
    EXPECT_EQ(instrument.Receive(kHistoryCommand),
              (std::vector{Action::Wait(100), Action::Send(kIdentification)}));
    EXPECT_EQ(instrument.Receive(kAck), std::vector{Action::Send(kRecord1)});
    EXPECT_EQ(instrument.Receive(kAck), (std::vector{Action::Wait(800), Action::Send(kRecord2)}));
}

TEST(InstrumentFaults, HangsUpWhenAskedForTheRecordAfterTheChosenOne) {
    sim::Instrument instrument(TwoRecords(), {'2', false, {}, 1});
    instrument.Receive(kHistoryCommand);
    EXPECT_EQ(instrument.Receive(kAck), std::vector{Action::Send(kRecord1)});
    EXPECT_EQ(instrument.Receive(kAck), std::vector{Action::HangUp()});
}

TEST(InstrumentFaults, CanBeforeTheHangUpPointEndsQuietly) {
    sim::Instrument instrument(TwoRecords(), {'2', false, {}, 1});
    instrument.Receive(kHistoryCommand);
    instrument.Receive(kAck);
    EXPECT_TRUE(instrument.Receive(kCan).empty());
}

TEST(InstrumentFaults, StrayEtxGoesBeforeHistoryFramesOnly) {
    sim::Instrument instrument(TwoRecords(), {}, sim::LineFaults(0.0, true, 1));
    EXPECT_EQ(SentBytes(instrument.Receive(kHistoryCommand)), "\x03" + kIdentification);
    EXPECT_EQ(SentBytes(instrument.Receive(kAck)), "\x03" + kRecord1);
    EXPECT_EQ(SentBytes(instrument.Receive(Framed("8"))), Framed("820"));
}

TEST(InstrumentLine, DroppedLineAbandonsTheUploadAndAnyPartCommand) {
    sim::Instrument instrument(TwoRecords(), {});
    instrument.Receive(kHistoryCommand);
    instrument.Receive(
        "\x02"
        "8");
    instrument.LineDropped();
    EXPECT_TRUE(instrument.Receive(kAck).empty());
    EXPECT_TRUE(instrument.Receive("\x03").empty());
    EXPECT_EQ(SentBytes(instrument.Receive(kHistoryCommand)), kIdentification);
    EXPECT_EQ(instrument.uploadsStarted(), 2);
}

TEST(InstrumentLine, EmptyHistorySendsOnlyTheIdentification) {
    sim::Instrument instrument({"1Q", {}}, {});
    EXPECT_EQ(SentBytes(instrument.Receive(kHistoryCommand)), Framed("1Q"));
    EXPECT_TRUE(instrument.Receive(kAck).empty());
}

}  // namespace
