// Archiving at the end of an upload, as the presenter reports it in the record counter.
#include <gtest/gtest.h>

#include "fakes.h"
#include "session/controller.h"
#include "window/presenter.h"

using namespace qm4250;

namespace {

// Keeps each write's callback, as a worker would until the archive answers.
class FakeArchiver : public UploadArchiver {
  public:
    void archive(const History& history, int32_t frames, ArchiveWaitingFor waiting,
                 ArchiveDone done) override {
        waitings.push_back(std::move(waiting));
        calls.push_back({history.records.size(), frames});
        pending.push_back(std::move(done));
    }
    void answer(const ArchiveOutcome& outcome) {
        ArchiveDone done = std::move(pending.front());
        pending.erase(pending.begin());
        done(outcome);
    }
    std::vector<std::pair<size_t, int32_t>> calls;  // test records and frames of each call
    std::vector<ArchiveDone> pending;
    std::vector<ArchiveWaitingFor> waitings;
};

ArchiveOutcome Written(int newTests, std::vector<PartVerdict> verdict = {},
                       std::string verdictNotRead = {}) {
    return {true, newTests, {}, std::move(verdict), std::move(verdictNotRead)};
}

ArchiveOutcome NotWritten(std::string reason) {
    return {false, 0, std::move(reason), {}, {}};
}

struct ArchivingRig {
    ArchivingRig() {
        controller.portOptionClicked(1);
        presenter.whenArchived([this] { ++archivedCalls; });
    }
    void receiveFrame(const std::string& body) {
        port.incoming += "\x02" + body + "\x03";
        controller.dataReceived();
    }

    FakePort port;
    FakeTimer timer;
    FakeView view;
    FakeArchiver archiver;
    Presenter presenter{view, view, &archiver};
    Controller controller{port, timer, presenter, view};
    int archivedCalls = 0;
};

TEST(UploadArchive, AnUploadIsArchivedWhenItEndsAndTheCounterSaysHowItWent) {
    ArchivingRig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.receiveFrame("11,P,C,0.5,N,0,0");
    rig.receiveFrame("12,P,C");
    rig.receiveFrame("13,P,C,0.5,N,0,0");
    EXPECT_TRUE(rig.archiver.calls.empty()) << "not while it runs";
    rig.controller.timerTick();
    EXPECT_EQ(rig.archiver.calls, (std::vector<std::pair<size_t, int32_t>>{{2, 4}}));
    EXPECT_EQ(rig.view.recordCounter, "Records: 3 (1 unreadable) \u00B7 archiving\u2026");
    EXPECT_TRUE(rig.presenter.archiving());
    rig.archiver.waitings.back()("the database system is starting up");
    EXPECT_EQ(rig.view.recordCounter,
              "Records: 3 (1 unreadable) \u00B7 archiving\u2026 (waiting for the archive: the "
              "database system is starting up)");
    rig.archiver.answer(Written(2));
    EXPECT_FALSE(rig.presenter.archiving());
    EXPECT_EQ(rig.archivedCalls, 1);
    EXPECT_EQ(rig.view.recordCounter, "Records: 3 (1 unreadable) \u00B7 2 new in archive");
    EXPECT_EQ(rig.view.status, "") << "panel 1 is not the archive's";
    EXPECT_TRUE(rig.view.messages.empty());

    // A mode exchange leaves the outcome; the next upload clears it.
    rig.controller.getModeClicked();
    rig.receiveFrame("820");
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.recordCounter, "Records: 3 (1 unreadable) \u00B7 2 new in archive");
    rig.controller.requestClicked();
    EXPECT_EQ(rig.view.recordCounter, "Records: 0");
    rig.receiveFrame("1S42");
    rig.controller.timerTick();
    rig.archiver.answer(NotWritten("database is locked"));
    EXPECT_EQ(rig.view.recordCounter, "Records: 0 \u00B7 archive not written: database is locked");

    // What the archive says of the new tests follows their count.
    PartVerdict beyond;
    beyond.pn = "A12";
    beyond.beyondUcl = 2;
    for (const auto& [outcome, said] :
         {std::pair{Written(37, {beyond}), " \u00B7 A12: 2 beyond UCL"},
          std::pair{Written(37, {}, "database is locked"),
                    " \u00B7 limits not checked: database is locked"}}) {
        rig.controller.requestClicked();
        rig.receiveFrame("1S42");
        rig.controller.timerTick();
        rig.archiver.answer(outcome);
        EXPECT_EQ(rig.view.recordCounter,
                  std::string("Records: 0 \u00B7 37 new in archive") + said);
    }
}

// Nor is the last upload archived again by a REQUEST whose port cannot be opened.
TEST(UploadArchive, NothingIsArchivedWithoutAFrameOrAfterAModeExchange) {
    ArchivingRig rig;
    rig.controller.requestClicked();
    rig.controller.timerTick();  // no answer at all
    rig.controller.getModeClicked();
    rig.receiveFrame("820");
    rig.controller.timerTick();
    EXPECT_TRUE(rig.archiver.calls.empty());
    EXPECT_FALSE(rig.presenter.archiving());

    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.controller.timerTick();
    rig.archiver.answer(Written(0));
    rig.port.failOpen = true;
    rig.port.opened = false;
    rig.controller.requestClicked();
    if (rig.timer.running)
        rig.controller.timerTick();
    EXPECT_EQ(rig.archiver.calls.size(), 1u);
}

}  // namespace
