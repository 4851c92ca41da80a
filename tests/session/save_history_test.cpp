#include <gtest/gtest.h>

#include <filesystem>

#include "expected_texts.h"
#include "rig.h"
#include "temp_dir.h"

using namespace qm4250;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kDisabledThenEnabled = {
    "-Request", "-Cancel", "-ReqMode", "-SetMode", "+Request", "+Cancel", "+ReqMode", "+SetMode"};

struct SaveRig : Rig {
    void upload(const std::string& record = "11,P,C,0.5,N,0,1") {
        controller.requestClicked();
        receiveFrame("1S42");
        receiveFrame(record);
        controller.timerTick();
        view.buttonLog.clear();
        view.status.clear();
    }
};

TEST(Save, SavesUnderABusyCursorAndReportsSuccess) {
    TempDir folder;
    SaveRig rig;
    rig.upload();
    rig.view.saveFileName = folder / "history.xls";
    rig.controller.saveClicked();
    EXPECT_EQ(rig.view.buttonLog, kDisabledThenEnabled);
    EXPECT_EQ(rig.view.busyLog, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.view.status, kSavedText);
    EXPECT_TRUE(fs::exists(rig.view.saveFileName));
}

// A record whose field no cell can hold is named in the status bar, with why; the other fields
// are cut for it, and the PN is said when it is not at fault.
TEST(Save, ATestAWorkbookCannotHoldIsNamedWithWhy) {
    const std::string tooLong(32'768, 'x');
    const std::string cut = std::string(40, 'x') + "\u2026";
    struct Case {
        std::string record;
        std::string said;
    };
    for (const Case& c : std::vector<Case>{
             {"17," + tooLong + ",C,0.5,N,0,1", "test Seq# 7 of SN 42: its PN"},
             {"1" + tooLong + ",P,C,0.5,N,0,1", "test Seq# " + cut + ", PN P of SN 42: its SEQ#"},
         }) {
        TempDir folder;
        SaveRig rig;
        rig.upload(c.record);
        rig.view.saveFileName = folder / "history.xlsx";
        rig.controller.saveClicked();
        EXPECT_EQ(rig.view.status, std::string(kNotSavedText) + ": " + c.said +
                                       " is longer than a cell holds (32,767 characters)");
        EXPECT_FALSE(fs::exists(rig.view.saveFileName));
    }
}

TEST(Save, CancelledDialogOnlyGivesTheButtonsBack) {
    SaveRig rig;
    rig.upload();
    rig.view.status = "Error - data lost";
    rig.controller.saveClicked();
    EXPECT_EQ(rig.view.dialogs, 1);
    EXPECT_EQ(rig.view.buttonLog, kDisabledThenEnabled);
    EXPECT_TRUE(rig.view.busyLog.empty());
    EXPECT_EQ(rig.view.status, "Error - data lost");
}

TEST(Save, BeforeAnyRequestNothingIsSaved) {
    TempDir folder;
    SaveRig rig;
    rig.view.saveFileName = folder / "history.xls";
    rig.controller.saveClicked();
    EXPECT_EQ(rig.view.status, std::string(kNotSavedText) + ": nothing has been uploaded yet");
    EXPECT_FALSE(fs::exists(rig.view.saveFileName));
    EXPECT_EQ(rig.view.buttonLog, kDisabledThenEnabled);
}

TEST(Save, ATickDuringTheDialogWaitsUntilTheSaveIsOver) {
    SaveRig rig;
    rig.controller.getModeClicked();
    rig.view.buttonLog.clear();
    std::vector<std::string> logWhenDialogClosed;
    rig.view.whileDialogOpen = [&] {
        rig.controller.timerTick();  // the timer fires while the dialog is open
        logWhenDialogClosed = rig.view.buttonLog;
    };
    rig.controller.saveClicked();
    EXPECT_EQ(logWhenDialogClosed,
              (std::vector<std::string>{"-Request", "-Cancel", "-ReqMode", "-SetMode"}));
    EXPECT_FALSE(rig.port.opened) << "the held tick ran afterwards";
}

}  // namespace
