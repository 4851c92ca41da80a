#include "cli/command_line.h"

#include <gtest/gtest.h>

using namespace qm4250;

namespace {

using Action = CommandLine::Action;

struct ParseCase {
    std::vector<std::string> arguments;
    Action action;
    std::string exportFile;
    int port;
    std::string device;
    std::string count;
};

class ParseCommandLineTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTable, ReadsTheOptions) {
    CommandLine line = ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(line.action, GetParam().action) << line.error;
    if (line.action != Action::Export)
        return;
    EXPECT_EQ(line.exportFile, GetParam().exportFile);
    EXPECT_EQ(line.port, GetParam().port);
    EXPECT_EQ(line.device, GetParam().device);
    EXPECT_EQ(line.count, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseCommandLineTable,
    testing::Values(
        ParseCase{{}, Action::Window, "", 1, "", ""},
        ParseCase{{"--help"}, Action::Help, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--version"}, Action::Version, "", 1, "", ""},
        ParseCase{{"--export", "h.xls"}, Action::Export, "h.xls", 1, "", ""},
        ParseCase{{"--port", "3", "--export", "h.csv", "--count", "500"},
                  Action::Export,
                  "h.csv",
                  3,
                  "",
                  "500"},
        ParseCase{{"--export", "h.xlsx", "--device", "/dev/ttyUSB0", "--count", "0"},
                  Action::Export,
                  "h.xlsx",
                  1,
                  "/dev/ttyUSB0",
                  "0"},
        ParseCase{{"--port", "3"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--port", "0"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--port", "two"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--count", "-1"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--count", "2.5"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"--export", "h.xls", "--port", "2", "--device", "/dev/x"},
                  Action::Invalid,
                  "",
                  1,
                  "",
                  ""},
        ParseCase{{"--export", "h.xls", "--baud", "9600"}, Action::Invalid, "", 1, "", ""},
        ParseCase{{"h.xls"}, Action::Invalid, "", 1, "", ""}));

struct ArchiveCase {
    std::vector<std::string> arguments;
    Action action;
    bool archive;
    std::string url;
    std::string exportFile;
};

TEST(CommandLine, ArchiveTakesAUrlWhenOneFollows) {
    const ArchiveCase cases[] = {
        {{"--archive"}, Action::Export, true, "", ""},
        {{"--archive", "postgresql://qa@db/plant"},
         Action::Export,
         true,
         "postgresql://qa@db/plant",
         ""},
        {{"--archive", "--export", "h.xls"}, Action::Export, true, "", "h.xls"},
        {{"--export", "h.xls", "--archive", "/srv/a.sqlite", "--count", "5"},
         Action::Export,
         true,
         "/srv/a.sqlite",
         "h.xls"},
        {{"--export", "h.xls"}, Action::Export, false, "", "h.xls"},
        {{"--count", "5"}, Action::Invalid, false, "", ""},
    };
    for (const ArchiveCase& c : cases) {
        CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments.front();
        EXPECT_EQ(line.archive, c.archive) << c.arguments.front();
        EXPECT_EQ(line.archiveUrl, c.url);
        EXPECT_EQ(line.exportFile, c.exportFile);
    }
}

TEST(CommandLine, OnlyItsOwnOptionsLeaveTheWindowClosed) {
    for (const char* own : {"--export", "--port", "--device", "--count", "--help", "--version",
                            "--list-ports", "--archive"})
        EXPECT_TRUE(IsCommandLineOption(own)) << own;
    for (const char* other : {"-session", "-style", "-platform", "--bogus", "h.xls", "-help", ""})
        EXPECT_FALSE(IsCommandLineOption(other)) << other;
}

// What Qt takes is left to Qt; anything else is refused before Qt starts.
TEST(CommandLine, TheWindowsArgumentsAreQtsOrUnknown) {
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> unknown;
    };
    for (const Case& c : std::vector<Case>{
             {{}, std::nullopt},
             {{"-style", "Fusion", "--platform", "offscreen", "-reverse"}, std::nullopt},
             {{"-style=Fusion", "-qmljsdebugger=port:1", "-session", "x"}, std::nullopt},
             {{"--bogus"}, "--bogus"},
             {{"-style"}, "-style"},
             {{"-platform", "xcb", "h.xls"}, "h.xls"},
             {{"-reverse=1"}, "-reverse=1"},
             {{"-"}, "-"},
             {{""}, ""},
         }) {
        EXPECT_EQ(FirstUnknownWindowArgument(c.arguments), c.unknown)
            << (c.arguments.empty() ? "none" : c.arguments.front());
    }
}

}  // namespace
