#include "session/controller.h"

#include <gtest/gtest.h>

#include <string>

#include "rig.h"

using namespace qm4250;

namespace {

TEST(Controller, DataArrivingDuringAMessageBoxIsHandledAfterItCloses) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.takeWritten();
    // A mode reply with the test flag opens a box; a history frame arrives while it is open.
    std::vector<std::string> listWhileOpen;
    rig.view.whileMessageShown = [&] {
        rig.receiveFrame("1112,P,C,5,N,0,0");
        listWhileOpen = rig.view.list;
    };
    rig.receiveFrame("831");
    EXPECT_EQ(listWhileOpen.size(), 1u) << "the frame must wait until the box is closed";
    EXPECT_EQ(rig.view.list.size(), 2u);
    EXPECT_EQ(rig.takeWritten(), kAck);
    EXPECT_EQ(rig.view.currentMode, "DATA");
}

TEST(Controller, ATickDuringAMessageBoxIsHandledAfterItCloses) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    bool timerRunningWhileOpen = false;
    rig.view.whileMessageShown = [&] {
        rig.controller.timerTick();
        timerRunningWhileOpen = rig.timer.running;
    };
    rig.receiveFrame("831");
    EXPECT_TRUE(timerRunningWhileOpen) << "the tick had not run yet";
    EXPECT_FALSE(rig.timer.running) << "the held tick ran after the box closed";
    EXPECT_TRUE(rig.view.enabled(Button::Save));
}

TEST(Controller, HeldEventsRunInTheOrderTheyArrived) {
    for (bool cancelFirst : {true, false}) {
        Rig rig;
        rig.controller.requestClicked();
        rig.receiveFrame("1S42");
        rig.takeWritten();
        rig.view.whileMessageShown = [&] {
            if (cancelFirst)
                rig.controller.cancelClicked();
            rig.receiveFrame("1112,P,C,5,N,0,0");
            if (!cancelFirst)
                rig.controller.cancelClicked();
        };
        rig.receiveFrame("821");
        EXPECT_EQ(rig.takeWritten(), cancelFirst ? kCan : kAck);
        EXPECT_EQ(rig.state().reply(), Reply::Can);
    }
}

TEST(Controller, AHeldTickIsDroppedWhenAnEarlierHeldFrameRestartedTheTimer) {
    Rig rig;
    rig.controller.requestClicked();
    rig.receiveFrame("1S42");
    rig.view.whileMessageShown = [&] {
        rig.receiveFrame("1112,P,C,5,N,0,0");
        rig.controller.timerTick();
    };
    rig.receiveFrame("831");
    EXPECT_TRUE(rig.timer.running) << "the upload goes on: its frame was acknowledged in time";
    EXPECT_FALSE(rig.view.enabled(Button::Save));
    EXPECT_TRUE(rig.port.opened);
}

}  // namespace
