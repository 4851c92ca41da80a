// Archiving at the end of an upload, as the presenter reports it in the record counter.
#include <gtest/gtest.h>

#include "fakes.h"
#include "session/controller.h"
#include "window/presenter.h"

using namespace qm4250;

namespace {

class FakeArchiver : public UploadArchiver {
  public:
    ArchiveOutcome archive(const History& history, int32_t frames) override {
        calls.push_back({history.records.size(), frames});
        return outcome;
    }
    std::vector<std::pair<size_t, int32_t>> calls;  // test records and frames of each call
    ArchiveOutcome outcome{true, 2, ""};
};

struct ArchivingRig {
    ArchivingRig() { controller.portOptionClicked(1); }
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
    EXPECT_EQ(rig.view.recordCounter, "Records: 3 (1 unreadable) \xB7 2 new in archive");
    EXPECT_EQ(rig.view.status, "") << "panel 1 is not the archive's";
    EXPECT_TRUE(rig.view.messages.empty());

    rig.archiver.outcome = {false, 0, "database is locked"};
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.controller.timerTick();
    EXPECT_EQ(rig.view.recordCounter, "Records: 0 \xB7 archive not written: database is locked");
}

TEST(UploadArchive, NothingIsArchivedWithoutAFrameOrAfterAModeExchange) {
    ArchivingRig rig;
    rig.controller.requestClicked();
    rig.controller.timerTick();  // no answer at all
    rig.controller.getModeClicked();
    rig.receiveFrame("820");
    rig.controller.timerTick();
    EXPECT_TRUE(rig.archiver.calls.empty());
}

}  // namespace
