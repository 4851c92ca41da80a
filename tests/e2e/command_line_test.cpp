// qm4250-upload without a window, as a child process, against the simulator.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "independent_reader.h"
#include "pseudo_terminal.h"
#include "sim_process.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string messages;  // standard error
};

Outcome RunUpload(const std::string& arguments) {
    std::string command = QM4250_UPLOAD_EXECUTABLE " " + arguments + " 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string messages;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        messages.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, messages};
}

int SheetRows(const std::string& path) {
    std::string rows = ReadWithIndependentReader("xls", path);
    return static_cast<int>(std::count(rows.begin(), rows.end(), '\n'));
}

class CommandLineUpload : public testing::Test {
  protected:
    CommandLineUpload() {
        char pattern[] = "/tmp/cli-XXXXXX";
        folder_ = mkdtemp(pattern);
        // As cron and systemd run it: Qt's warning about its runtime folder stays off the lines.
        unsetenv("XDG_RUNTIME_DIR");
    }
    ~CommandLineUpload() override { fs::remove_all(folder_); }

    std::string simulatorDevice(const std::string& records, std::vector<std::string> faults = {}) {
        std::vector<std::string> args{"--baud", "0", "--records", records, "--seed", "3"};
        args.insert(args.end(), faults.begin(), faults.end());
        simulator_ = std::make_unique<SimProcess>(args);
        return simulator_->firstLine();
    }

    std::string folder_;
    std::unique_ptr<SimProcess> simulator_;
};

TEST_F(CommandLineUpload, SavesTheWholeHistoryWithProgress) {
    std::string file = folder_ + "/history.xls";
    Outcome outcome = RunUpload("--export " + file + " --device " + simulatorDevice("250"));
    EXPECT_EQ(outcome.status, 0) << outcome.messages;
    EXPECT_EQ(outcome.messages,
              "Records: 100\nRecords: 200\nSaved 250 test records to " + file + "\n");
    EXPECT_GE(SheetRows(file), 2 + 250);
}

TEST_F(CommandLineUpload, StopsAtTheCount) {
    std::string file = folder_ + "/five.xls";
    Outcome outcome =
        RunUpload("--export " + file + " --count 5 --device " + simulatorDevice("250"));
    EXPECT_EQ(outcome.status, 0) << outcome.messages;
    EXPECT_NE(outcome.messages.find("Saved 5 test records"), std::string::npos);
}

TEST_F(CommandLineUpload, CountsOnlyTheRecordsItSaved) {
    std::string file = folder_ + "/garbled.csv";
    Outcome outcome =
        RunUpload("--export " + file + " --device " + simulatorDevice("120", {"--garble", "40"}));
    EXPECT_EQ(outcome.status, 0) << outcome.messages;
    EXPECT_NE(outcome.messages.find("Saved 119 test records to " + file +
                                    "; 1 record could not be read\n"),
              std::string::npos)
        << outcome.messages;
}

TEST_F(CommandLineUpload, ArchivesEachTestOnceAndSaysWhenItCannot) {
    std::string archive = folder_ + "/archive.sqlite";
    std::string device = simulatorDevice("250");
    for (const char* newTests : {"250", "0"}) {
        Outcome outcome = RunUpload("--archive " + archive + " --device " + device);
        EXPECT_EQ(outcome.status, 0) << outcome.messages;
        EXPECT_NE(
            outcome.messages.find("Archived " + std::string(newTests) + " new tests in " + archive),
            std::string::npos)
            << outcome.messages;
    }
    std::string file = folder_ + "/h.csv";
    Outcome outcome =
        RunUpload("--export " + file + " --archive /proc/qm4250/a.sqlite --device " + device);
    EXPECT_EQ(outcome.status, 6) << outcome.messages;
    EXPECT_NE(outcome.messages.find("archive not written"), std::string::npos) << outcome.messages;
    EXPECT_TRUE(fs::exists(file)) << "the file is saved all the same";
}

TEST_F(CommandLineUpload, ASilentLineIsNoResponse) {
    PseudoTerminal nobody;
    Outcome outcome = RunUpload("--export " + folder_ + "/h.xls --device " + nobody.slavePath());
    EXPECT_EQ(outcome.status, 4);
    EXPECT_NE(outcome.messages.find("no response from the QM4250"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder_ + "/h.xls"));
}

// A pulled cable: one line for the loss, what arrived saved and archived, status 7; no stream
// of line errors from polling the dead device.
TEST_F(CommandLineUpload, AHangUpSavesWhatArrivedAndSaysItWasCutShort) {
    std::string file = folder_ + "/h.csv";
    Outcome outcome =
        RunUpload("--export " + file + " --archive " + folder_ + "/a.sqlite --device " +
                  simulatorDevice("100", {"--hangup-after", "30"}));
    EXPECT_EQ(outcome.status, 7) << outcome.messages;
    EXPECT_EQ(outcome.messages.find("line error"), std::string::npos) << outcome.messages;
    EXPECT_NE(outcome.messages.find("Archived 30 new tests"), std::string::npos);
    EXPECT_LE(std::count(outcome.messages.begin(), outcome.messages.end(), '\n'), 3)
        << outcome.messages;
}

TEST_F(CommandLineUpload, AMissingPortIsReported) {
    Outcome outcome = RunUpload("--export " + folder_ + "/h.xls --device /dev/qm4250-missing");
    EXPECT_EQ(outcome.status, 3);
    EXPECT_NE(outcome.messages.find("/dev/qm4250-missing"), std::string::npos);
}

TEST_F(CommandLineUpload, AnUnwritableTargetIsReported) {
    Outcome outcome =
        RunUpload("--export " + folder_ + "/missing/h.xls --device " + simulatorDevice("10"));
    EXPECT_EQ(outcome.status, 5);
    EXPECT_NE(outcome.messages.find("was not saved"), std::string::npos);
}

TEST_F(CommandLineUpload, BadArgumentsSayWhyInOneLine) {
    // A location that is not an archive's is refused before the port is opened. An argument
    // quoted is escaped: a line break or an escape sequence in it is shown, not acted on.
    for (const char* arguments :
         {"--export h.xls --count many", "--bogus", "h.xls",
          "--archive sqlite://a.sqlite --device /dev/qm4250-missing", "'--bo\ngus\x1B[2J'",
          "'h\n\x1B[2J.xls'", "--export h.xls --count '1\n\x1B[2J'",
          "--archive 'sqlite://a\n\x1B[2J' --device /dev/qm4250-missing"}) {
        Outcome outcome = RunUpload(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_EQ(std::count(outcome.messages.begin(), outcome.messages.end(), '\n'), 1)
            << outcome.messages;
        EXPECT_EQ(outcome.messages.find('\x1B'), std::string::npos) << outcome.messages;
    }
}

}  // namespace
