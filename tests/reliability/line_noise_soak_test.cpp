// Long uploads over a noisy line: the real window and serial port against the simulator, with
// stray bytes, stray ETX, garbled records and pauses. Whatever the line does, every record the
// program acknowledged must be kept exactly once, in order.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e_rig.h"
#include "history_exchange.h"

using namespace qm4250;

namespace {

constexpr int kUploadLimitMs = 60000;  // only there to keep a broken build from hanging

struct Pause {
    int beforeRecord;
    int milliseconds;
};

// The simulator's arguments for a replayed history on a line with stray bytes before three
// frames in ten and a stray ETX before every frame, plus the given garbled records and pauses.
std::vector<std::string> NoisyLine(const std::string& replayFile, int seed,
                                   const std::map<int, std::string>& garbles,
                                   const std::vector<Pause>& pauses) {
    std::vector<std::string> args{"--replay", replayFile, "--seed",     std::to_string(seed),
                                  "--noise",  "0.3",      "--stray-etx"};
    for (const auto& [record, kind] : garbles)
        args.insert(args.end(), {"--garble", std::to_string(record) + ":" + kind});
    for (const Pause& pause : pauses)
        args.insert(args.end(), {"--pause-after", std::to_string(pause.beforeRecord),
                                 std::to_string(pause.milliseconds)});
    return args;
}

class LineNoiseSoak : public EndToEndTest {
  protected:
    // Runs the event loop itself, as the program does: QTest::qWaitFor sleeps between its looks,
    // which would hold every frame up and pace the upload to the test's wait, not the line.
    bool waitForTheUploadToEnd() {
        auto ended = [&] { return find<QPushButton>("cmdSave")->isEnabled() && !port_.isOpen(); };
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (ended())
                loop.quit();
        });
        look.start(50);
        QTimer::singleShot(kUploadLimitMs, &loop, &QEventLoop::quit);
        loop.exec();
        return ended();
    }

    // Every acknowledged frame is kept (but a garbled one, which is counted as unreadable),
    // nothing unacknowledged is kept, and records are kept once each, in the order sent.
    void expectAcknowledgedRecordsKeptOnceInOrder(const std::vector<SentFrame>& frames,
                                                  const std::map<int, std::string>& garbles) {
        const History& history = *state().history();
        std::map<int, std::string> kept;
        int previous = 0;
        for (const TestRecord& record : history.records) {
            int k = std::atoi(std::string(record.seq()).c_str());
            EXPECT_GT(k, previous) << "out of order or twice: " << record.seq();
            previous = k;
            kept.emplace(k, RowText(record));
        }
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames[0].reply, '\x06');
        EXPECT_EQ(RowText(*history.identification), "SN = 4250117;Model: Norvik");
        int acknowledged = 0;
        for (size_t at = 1; at < frames.size(); ++at) {
            int k = SequenceNumber(frames[at].body);
            ASSERT_EQ(k, static_cast<int>(at)) << "frame " << at << ": " << frames[at].body;
            if (frames[at].reply != '\x06') {
                EXPECT_EQ(kept.count(k), 0u) << "unacknowledged record " << k;
                continue;
            }
            ++acknowledged;
            ASSERT_LE(k, state().recordIndex()) << "acknowledged record " << k << " is missing";
            EXPECT_EQ(kept.count(k) ? kept[k] : "", garbles.count(k) ? "" : ReplayedRow(k)) << k;
        }
        EXPECT_EQ(state().recordIndex(), acknowledged);
    }
};

TEST_F(LineNoiseSoak, ThousandsOfRecordsWithNoiseGarblesAndShortPausesLoseNothing) {
    constexpr int kRecords = 10000;
    const std::map<int, std::string> garbles{{17, "fields"},   {450, "time"},  {451, "relay"},
                                             {5000, "fields"}, {7222, "time"}, {9999, "relay"}};
    // Just under the response time, before the first record, in the middle and before the last.
    const std::vector<Pause> pauses{{0, 400}, {999, 400}, {5001, 400}, {10000, 400}};
    startSimulator(NoisyLine(writeReplayFile(kRecords), 4250, garbles, pauses));
    click("cmdRequest");
    ASSERT_TRUE(waitForTheUploadToEnd());

    std::vector<SentFrame> frames = HistoryExchange(logPath());
    ASSERT_EQ(frames.size(), static_cast<size_t>(kRecords) + 1);
    EXPECT_EQ(state().recordIndex(), kRecords)
        << "a pause under the response time ended the upload";
    expectAcknowledgedRecordsKeptOnceInOrder(frames, garbles);
    EXPECT_EQ(statusText(), "");
    EXPECT_FALSE(find<QPushButton>("cmdRequest")->isDown());
    for (const char* name : {"cmdRequest", "cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
}

TEST_F(LineNoiseSoak, APauseOverTheResponseTimeEndsTheUploadKeepingWhatCameBefore) {
    constexpr int kPausedRecord = 1500;
    startSimulator(NoisyLine(writeReplayFile(2000), 77, {{800, "fields"}},
                             {{700, 400}, {kPausedRecord, 700}}));
    click("cmdRequest");
    ASSERT_TRUE(waitForTheUploadToEnd());

    EXPECT_EQ(state().recordIndex(), kPausedRecord - 1);
    expectAcknowledgedRecordsKeptOnceInOrder(HistoryExchange(logPath()), {{800, "fields"}});
    EXPECT_EQ(statusText(), "");
}

}  // namespace
