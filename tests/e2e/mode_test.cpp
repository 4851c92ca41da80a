// Get Mode and Change Mode against the simulator.
#include <gtest/gtest.h>

#include "e2e_rig.h"
#include "expected_texts.h"
#include "message_box_catcher.h"

using namespace qm4250;

namespace {

using OperatingMode = EndToEndTest;

TEST_F(OperatingMode, GetModeShowsTheInstrumentsMode) {
    startSimulator({"--mode", "3"});
    click("cmdReqMode");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "DATA");
    EXPECT_TRUE(find<QRadioButton>("optData")->isChecked());
    EXPECT_EQ(statusText(), "");
}

TEST_F(OperatingMode, ChangeModeSwitchesToEachMode) {
    startSimulator({"--mode", "2"});
    const std::pair<const char*, const char*> modes[] = {
        {"optSetUp", "SETUP"}, {"optCal", "CALIBRATE"}, {"optData", "DATA"}, {"optRun", "RUN"}};
    for (auto [option, text] : modes) {
        find<QRadioButton>(option)->click();
        find<QLineEdit>("txtCurrentMode")->clear();
        click("cmdSetMode");
        ASSERT_TRUE(waitUntilIdle()) << option;
        EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), text);
        EXPECT_TRUE(find<QRadioButton>(option)->isChecked());
    }
}

TEST_F(OperatingMode, ATestInProgressRefusesTheChange) {
    startSimulator({"--mode", "2", "--test-in-progress"});
    find<QRadioButton>("optSetUp")->click();
    MessageBoxCatcher catcher;
    click("cmdSetMode");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(catcher.texts, QStringList{kTestInProgressText});
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "RUN");
    EXPECT_TRUE(find<QRadioButton>("optRun")->isChecked());
}

}  // namespace
