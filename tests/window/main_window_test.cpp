#include "window/main_window.h"
#include "expected_texts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "fakes.h"
#include "message_box_catcher.h"
#include "save_dialog_answerer.h"
#include "window/settings_file.h"

using namespace qm4250;

namespace {

namespace fs = std::filesystem;

// The window over fake port and timer, with its settings file in a folder of its own.
class MainWindowTest : public testing::Test {
  protected:
    MainWindowTest() {
        fs::create_directories(folder_);
        window_ = std::make_unique<MainWindow>(port_, timer_, settingsPath());
    }
    ~MainWindowTest() override { fs::remove_all(folder_); }

    std::string settingsPath() const { return SettingsPath(folder_.string() + "/app"); }
    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    fs::path folder_ = fs::temp_directory_path() / ("window-test-" + std::to_string(getpid()));
    FakePort port_;
    FakeTimer timer_;
    std::unique_ptr<MainWindow> window_;
};

struct ControlCase {
    const char* name;
    const char* kind;
    const char* caption;
    QRect geometry;
    const char* parent;
    bool fixedPitch;
};

TEST_F(MainWindowTest, EveryControlHasItsCaptionPlaceAndFont) {
    const ControlCase controls[] = {
        {"List1", "QListWidget", "", {8, 40, 649, 589}, "Form1", true},
        {"Frame1", "QGroupBox", "QM4250 History Data", {672, 32, 281, 177}, "Form1", false},
        {"Frame3", "QGroupBox", "QM4250 Operating Mode", {672, 224, 281, 177}, "Form1", false},
        {"Frame2", "QGroupBox", "Select Comm Port", {672, 416, 281, 97}, "Form1", false},
        {"cmdExit", "QPushButton", "EXIT", {672, 560, 73, 33}, "Form1", false},
        {"Image1", "QLabel", "", {752, 536, 197, 89}, "Form1", false},
        {"StatusBar1", "QStatusBar", "", {0, 642, 965, 25}, "Form1", false},
        {"Label1",
         "QLabel",
         "Number Values To Get (Blank for all Values)",
         {104, 32, 137, 33},
         "Frame1",
         false},
        {"cmdRequest", "QPushButton", "REQUEST", {16, 64, 73, 33}, "Frame1", false},
        {"txtNumValues", "QLineEdit", "", {120, 64, 81, 25}, "Frame1", false},
        {"cmdCancel", "QPushButton", "CANCEL", {16, 128, 73, 33}, "Frame1", false},
        {"cmdSave", "QPushButton", "SAVE", {120, 128, 81, 33}, "Frame1", false},
        {"cmdReqMode", "QPushButton", "Get Mode", {16, 32, 73, 33}, "Frame3", false},
        {"txtCurrentMode", "QLineEdit", "", {120, 32, 81, 25}, "Frame3", false},
        {"cmdSetMode", "QPushButton", "Change Mode", {16, 104, 73, 33}, "Frame3", false},
        {"optSetUp", "QRadioButton", "SETUP", {104, 104, 65, 17}, "Frame3", false},
        {"optRun", "QRadioButton", "RUN", {200, 104, 57, 17}, "Frame3", false},
        {"optCal", "QRadioButton", "CALIBRATE", {104, 136, 97, 17}, "Frame3", false},
        {"optData", "QRadioButton", "DATA", {200, 136, 65, 17}, "Frame3", false},
        {"optComm1", "QRadioButton", "COMM 1", {16, 24, 81, 33}, "Frame2", false},
        {"optComm2", "QRadioButton", "COMM 2", {104, 24, 81, 33}, "Frame2", false},
        {"optComm3", "QRadioButton", "COMM 3", {200, 24, 73, 33}, "Frame2", false},
        {"optComm4", "QRadioButton", "COMM 4", {16, 56, 81, 33}, "Frame2", false},
        {"optComm5", "QRadioButton", "COMM 5", {104, 56, 81, 33}, "Frame2", false},
    };
    for (const ControlCase& c : controls) {
        QWidget* widget = find<QWidget>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_STREQ(widget->metaObject()->className(), c.kind) << c.name;
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        EXPECT_EQ(widget->parentWidget()->objectName(), c.parent) << c.name;
        EXPECT_EQ(QFontInfo(widget->font()).fixedPitch(), c.fixedPitch) << c.name;
        QString caption = widget->property("text").isValid() ? widget->property("text").toString()
                                                             : widget->property("title").toString();
        EXPECT_EQ(caption, c.caption) << c.name;
    }
}

TEST_F(MainWindowTest, HeadingsUseTheListsFixedPitchFont) {
    const std::pair<const char*, const char*> headings[] = {
        {"Label4", "<---RELAYS-->"},
        {"Label2", "Seq#  PN  Cust Code     Leak  Err Time/Date"},
        {"Label3", "GP  -Rej +Rej"}};
    for (auto [name, caption] : headings) {
        QLabel* label = find<QLabel>(name);
        EXPECT_EQ(label->text(), caption);
        EXPECT_TRUE(QFontInfo(label->font()).fixedPitch()) << name;
        EXPECT_TRUE(label->font().bold()) << name;
        EXPECT_EQ(label->font(), find<QListWidget>("List1")->font()) << name;
    }
}

TEST_F(MainWindowTest, WindowHasItsTitleAndAFixedSize) {
    EXPECT_EQ(window_->windowTitle(), "QM 4250 History Data Upload (V1.1)");
    EXPECT_EQ(window_->size(), QSize(965, 667));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_FALSE(find<QLabel>("Image1")->pixmap().isNull());
}

TEST_F(MainWindowTest, TheStatusBarEndsWithAFlatLinkToTheArchive) {
    QPushButton* link = find<QPushButton>("openArchive");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), "Open archive");
    EXPECT_TRUE(link->isFlat());
    EXPECT_EQ(link->parentWidget(), find<QStatusBar>("StatusBar1"));
    EXPECT_EQ(find<QLabel>("Panel2")->parentWidget(), find<QStatusBar>("StatusBar1"))
        << "the record counter stays";
}

// "Open archive" starts the archive window's program; one that cannot be started is said, with
// the program and the system's reason.
TEST_F(MainWindowTest, AnArchiveWindowThatCannotBeStartedIsSaid) {
    const std::string missing = folder_ / "no-such-program", plain = folder_ / "not-executable";
    std::ofstream(plain) << "1";
    for (auto [program, reason] :
         std::vector<std::pair<std::string, QString>>{{"/bin/true", ""},
                                                      {missing, "No such file or directory"},
                                                      {plain, "Permission denied"}}) {
        window_->setArchiveProgram(QString::fromStdString(program));
        MessageBoxCatcher catcher;
        click("openArchive");
        QStringList said{"The archive window cannot be started"};
        QStringList why{QString::fromStdString(program) + ": " + reason};
        EXPECT_EQ(catcher.texts, reason.isEmpty() ? QStringList() : said) << program;
        EXPECT_EQ(catcher.informativeTexts, reason.isEmpty() ? QStringList() : why) << program;
    }
}

TEST_F(MainWindowTest, TabOrderFollowsTheTabIndexes) {
    window_->show();
    const char* expected[] = {
        "List1",      "cmdRequest", "cmdCancel", "txtNumValues", "cmdSave",  "txtCurrentMode",
        "cmdReqMode", "cmdSetMode", "optCal",    "optRun",       "optData",  "optSetUp",
        "optComm5",   "optComm4",   "optComm3",  "optComm2",     "optComm1", "cmdExit"};
    QWidget* widget = find<QWidget>("List1");
    for (size_t i = 1; i < std::size(expected); ++i) {
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible() ||
               widget->objectName().isEmpty())
            widget = widget->nextInFocusChain();
        EXPECT_EQ(widget->objectName(), expected[i]);
    }
}

TEST_F(MainWindowTest, StartsIdleWithEverythingEnabled) {
    for (const char* name :
         {"cmdRequest", "cmdCancel", "cmdSave", "cmdReqMode", "cmdSetMode", "cmdExit"}) {
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
        EXPECT_FALSE(find<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(find<QPushButton>(name)->autoDefault()) << name;
    }
    EXPECT_EQ(find<QListWidget>("List1")->count(), 0);
    EXPECT_EQ(find<QLineEdit>("txtNumValues")->text(), "");
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "");
    for (const char* name : {"optSetUp", "optRun", "optCal", "optData"})
        EXPECT_FALSE(find<QRadioButton>(name)->isChecked()) << name;
    EXPECT_EQ(find<QLabel>("Panel1")->text(), "");
    EXPECT_FALSE(port_.opened);
    EXPECT_FALSE(window_->controller().state().awaitingReply());
    EXPECT_FALSE(window_->controller().state().history());
}

TEST_F(MainWindowTest, OptionGroupsAreIndependent) {
    find<QRadioButton>("optRun")->click();
    find<QRadioButton>("optComm3")->click();
    EXPECT_TRUE(find<QRadioButton>("optRun")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optComm3")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optComm1")->isChecked());
    EXPECT_EQ(window_->controller().state().portNumber(), 3);
    find<QRadioButton>("optCal")->click();
    EXPECT_TRUE(find<QRadioButton>("optComm3")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optRun")->isChecked());
}

TEST_F(MainWindowTest, RequestDisablesThreeButtonsUntilTheTimeout) {
    click("cmdRequest");
    EXPECT_EQ(port_.written, "\x02\x31\x03");
    for (const char* name : {"cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    for (const char* name : {"cmdRequest", "cmdCancel", "cmdExit"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
    window_->controller().timerTick();
    for (const char* name : {"cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_EQ(find<QLabel>("Panel1")->text(), kNoResponseText);
}

TEST_F(MainWindowTest, ReceivedBytesAreShownOneCharacterEach) {
    click("cmdRequest");
    port_.incoming = std::string("\x02") + "1S\xe9\xff" + "\x03";
    window_->controller().dataReceived();
    ASSERT_EQ(find<QListWidget>("List1")->count(), 1);
    EXPECT_EQ(find<QListWidget>("List1")->item(0)->text(),
              QString::fromUtf8("SN = \u00e9\u00ff  Model: Norvik"));
    EXPECT_EQ(find<QLabel>("Label3")->text(), "GP   BP   GE  ");
    // The program's own texts are UTF-8: the system's words in the operator's language.
    window_->controller().portLost("/dev/ttyUSB0: Ger\u00e4t entfernt");
    EXPECT_EQ(find<QLabel>("Panel1")->text(),
              QString::fromUtf8("Error - port closed: /dev/ttyUSB0: Ger\u00e4t entfernt"));
}

TEST_F(MainWindowTest, PortFailureShowsItsModalMessageWithTheReason) {
    port_.failOpen = true;
    MessageBoxCatcher catcher;
    click("cmdRequest");
    click("cmdReqMode");
    EXPECT_EQ(catcher.texts, (QStringList{kRequestPortFailureText, kModePortFailureText}));
    EXPECT_EQ(catcher.titles, (QStringList{kProgramName, kProgramName}));
    EXPECT_EQ(catcher.informativeTexts,
              (QStringList{"/dev/fake: the far end's reason", "/dev/fake: the far end's reason"}));
    EXPECT_EQ(port_.written, "");
}

TEST_F(MainWindowTest, ModeReplyShowsTheModeAndTheTestInProgressMessage) {
    MessageBoxCatcher catcher;
    click("cmdReqMode");
    port_.incoming =
        "\x02"
        "831\x03";
    window_->controller().dataReceived();
    EXPECT_EQ(find<QLineEdit>("txtCurrentMode")->text(), "DATA");
    EXPECT_TRUE(find<QRadioButton>("optData")->isChecked());
    EXPECT_EQ(catcher.texts, QStringList{kTestInProgressText});
    EXPECT_TRUE(catcher.informativeTexts.value(0).isEmpty());
}

TEST_F(MainWindowTest, ClosingSavesTheChosenPort) {
    find<QRadioButton>("optComm4")->click();
    window_->close();
    std::ifstream file(settingsPath(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, std::string("\x22\x34\x22\x0d\x0a"));
}

TEST_F(MainWindowTest, ExitSavesTheChosenPortToo) {
    window_->show();
    find<QRadioButton>("optComm2")->click();
    click("cmdExit");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(ReadPortSetting(settingsPath()), 2);
}

TEST_F(MainWindowTest, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
    fs::create_directory(settingsPath());  // a folder where the file should be
    window_->show();
    MessageBoxCatcher catcher;
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(catcher.texts, QStringList{"Error writing application file"});
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, SaveAsksForAFileAndReportsTheOutcome) {
    click("cmdRequest");
    port_.incoming =
        "\x02"
        "1S42\x03";
    window_->controller().dataReceived();
    window_->controller().timerTick();
    std::string path = (folder_ / "history").string();

    auto seen = std::make_unique<SaveDialogAnswerer>(QString::fromStdString(path));
    click("cmdSave");
    EXPECT_EQ(seen->title, "Save History Data As Excel Spreadsheet");
    EXPECT_EQ(seen->filters,
              (QStringList{"Excel (*.xls)", "Excel Workbook (*.xlsx)", "CSV (*.csv)"}));
    EXPECT_EQ(seen->suffix, "xls");
    EXPECT_EQ(seen->nameFilledIn, "");
    EXPECT_TRUE(QFileInfo(seen->folder).isDir()) << seen->folder.toStdString();
    EXPECT_EQ(find<QLabel>("Panel1")->text(), kSavedText);
    EXPECT_TRUE(fs::exists(path + ".xls"));
    seen.reset();  // the next dialog is the next answerer's
    SaveDialogAnswerer again(QString::fromStdString(path + "-again"));
    click("cmdSave");
    EXPECT_EQ(again.folder.toStdString(), folder_.string()) << "where the last save went";
    EXPECT_EQ(again.nameFilledIn, "");
    EXPECT_FALSE(QApplication::overrideCursor()) << "the busy cursor is gone";
    for (const char* name : {"cmdRequest", "cmdCancel", "cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, CancellingTheSaveDialogChangesNothing) {
    find<QLabel>("Panel1")->setText("Error - data lost");
    SaveDialogAnswerer cancel("");
    click("cmdSave");
    EXPECT_EQ(find<QLabel>("Panel1")->text(), "Error - data lost");
    for (const char* name : {"cmdRequest", "cmdCancel", "cmdSave", "cmdReqMode", "cmdSetMode"})
        EXPECT_TRUE(find<QPushButton>(name)->isEnabled()) << name;
}

struct LoadCase {
    const char* content;  // nullptr: no file
    int port;
    const char* checked;  // nullptr: no port option selected
};

class WindowLoadsSettings : public testing::TestWithParam<LoadCase> {};

TEST_P(WindowLoadsSettings, SelectsTheStoredPort) {
    fs::path folder = fs::temp_directory_path() / ("load-test-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::string path = SettingsPath((folder / "app").string());
    if (GetParam().content)
        std::ofstream(path, std::ios::binary) << GetParam().content;
    FakePort port;
    FakeTimer timer;
    MainWindow window(port, timer, path);
    EXPECT_EQ(window.controller().state().portNumber(), GetParam().port);
    for (int n = 1; n <= 5; ++n) {
        std::string name = "optComm" + std::to_string(n);
        bool expected = GetParam().checked && name == GetParam().checked;
        EXPECT_EQ(window.findChild<QRadioButton*>(name.c_str())->isChecked(), expected) << name;
    }
    window.close();
    EXPECT_EQ(ReadPortSetting(path), GetParam().port) << "written back at close";
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Files, WindowLoadsSettings,
    testing::Values(LoadCase{nullptr, 1, "optComm1"}, LoadCase{"\"3\"\r\n", 3, "optComm3"},
                    LoadCase{"3", 3, "optComm3"}, LoadCase{"7", 7, nullptr},
                    LoadCase{"2.5", 2, "optComm2"}, LoadCase{"3.5", 4, "optComm4"},
                    LoadCase{"letters", 1, "optComm1"}, LoadCase{"99999", 1, "optComm1"}));

}  // namespace
