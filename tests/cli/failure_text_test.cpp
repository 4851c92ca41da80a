// Why a file was not written, as each front end says it: the command line, the archive window
// (after the file's name) and the upload window's status bar (after its fixed text).
#include "cli/failure_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cli/escaped_text.h"
#include "trend/failure_texts.h"
#include "window/status_texts.h"

using namespace qm4250;

namespace {

struct Said {
    ExportFailure failure;
    std::string commandLine;
    std::string archiveWindow;  // "" where it says just what the command line says
    std::string statusBar;      // "" for a failure no upload's save meets
};

TEST(FailureTexts, EachKindInEachFrontEnd) {
    const std::string noSpace = std::strerror(ENOSPC);
    const std::string sheetCannot = "worksheet \"4711\" cannot be written";
    UnwritableTest test{"4711", "12", std::string(50, 'p'), "PN"};
    ArchiveError notOurs{ArchiveError::Kind::NotOurs, "/a.sqlite", "", 0};
    const std::vector<Said> table{
        {Failure{Failure::Kind::System, ENOSPC, "/m/f"}, noSpace, "/m/f: " + noSpace, noSpace},
        {Failure{Failure::Kind::NothingToWrite, 0, "/m/f"}, "no tests selected",
         "no tests selected", "nothing has been uploaded yet"},
        {Failure{Failure::Kind::NotAFile, 0, "/m/f"},
         "the name is a folder's, or its links go round in a loop", "", "="},
        {Failure{Failure::Kind::Incomplete, 0, "/m/f"}, "the file written is not whole", "", "="},
        {Failure{Failure::Kind::Writer, 0, "/m/f"}, "the file's writer failed", "", "="},
        {Failure{Failure::Kind::TooManyRows, 0, "4711"},
         "worksheet \"4711\" has more rows than a .xls worksheet holds (65,536)", "", sheetCannot},
        {Failure{Failure::Kind::SheetName, 0, "a\nb"},
         "worksheet \"a\\nb\" is not a name a worksheet may have",
         "/m/f: worksheet \"a\nb\" is not a name a worksheet may have", ""},
        {Failure{Failure::Kind::CellTooLong, 0, "Points"}, "worksheet \"Points\" cannot be written",
         "/m/f: worksheet \"Points\": a text is longer than a cell holds (32,767 characters)", ""},
        {test, "test Seq# 12 of SN 4711: its PN is longer than a cell holds (32,767 characters)",
         "/m/f: test Seq# 12 of SN 4711: its PN is longer than a cell holds (32,767 characters)",
         ""},
        {notOurs, ShownError(notOurs), ArchiveErrorText(notOurs).toStdString(), ""},
    };
    for (const Said& said : table) {
        const std::string& cli = said.commandLine;
        EXPECT_EQ(ExportFailureText(said.failure), cli);
        std::string window = ExportFailureText(said.failure, "/m/f").toStdString();
        EXPECT_EQ(window, said.archiveWindow.empty() ? "/m/f: " + cli : said.archiveWindow) << cli;
        const auto* file = std::get_if<Failure>(&said.failure);
        if (file && !said.statusBar.empty()) {
            EXPECT_EQ(SaveResultText(SaveFailure(*file)),
                      std::string(kHistoryNotSaved) + ": " +
                          (said.statusBar == "=" ? cli : said.statusBar))
                << cli;
        }
    }
}

// The window's message box and the command line say the same of a port.
TEST(FailureTexts, EachPortFailureInBothFrontEnds) {
    using Kind = PortFailure::Kind;
    const std::vector<std::pair<PortFailure, std::string>> table{
        {{Kind::NoSuchPort, 7, "", ""}, "COMM 7 is not a serial port number."},
        {{Kind::NoPermission, 1, "/dev/ttyS0", "Permission denied"},
         "/dev/ttyS0: Permission denied (the user must be in the dialout group)"},
        {{Kind::NotOpen, 2, "/dev/ttyUSB0", ""}, "/dev/ttyUSB0: the port is not open"},
        {{Kind::Platform, 2, "/dev/ttyUSB0", "Input/output error"},
         "/dev/ttyUSB0: Input/output error"},
    };
    for (const auto& [failure, said] : table) {
        EXPECT_EQ(PortFailureText(failure), said);
        EXPECT_EQ(PortFailureCause(failure), said);
    }
}

}  // namespace
