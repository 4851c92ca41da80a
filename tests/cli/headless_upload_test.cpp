// The upload without a window over a fake port: how each way of falling short ends, in its exit
// status and its one line.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/headless_upload.h"
#include "fakes.h"

using namespace qm4250;

namespace {

namespace fs = std::filesystem;

struct ShortCase {
    const char* name;
    int records;        // test records sent after the identification; -1: no history frame
    std::string stray;  // bytes that never make a frame
    bool hangUp;        // the device goes away after the records
    int status;
    const char* line;  // in the messages
};

class ShortUpload : public testing::TestWithParam<ShortCase> {};

TEST_P(ShortUpload, EndsWithItsStatusAndOneLine) {
    const ShortCase& c = GetParam();
    CommandLine commandLine;
    commandLine.exportFile = testing::TempDir() + "short_" + c.name + ".csv";
    fs::remove(commandLine.exportFile);
    char* text = nullptr;
    size_t size = 0;
    std::FILE* messages = open_memstream(&text, &size);
    FakePort port;
    FakeTimer timer;
    HeadlessUpload upload(commandLine, messages, port, timer, [] { return "/dev/fake"; });

    // The instrument's side, played once the upload waits for its end.
    QTimer::singleShot(0, [&] {
        Controller& controller = upload.controller();
        for (int k = 0; k <= c.records; ++k) {
            port.incoming = k == 0 ? "\x02"
                                     "1S42\x03"
                                   : "\x02"
                                     "1" +
                                         std::to_string(k) + ",P,C,0.5,N,0,0\x03";
            controller.dataReceived();
        }
        port.incoming = c.stray;
        if (!c.stray.empty())
            controller.dataReceived();
        if (c.hangUp) {
            controller.portLost("/dev/fake: gone");
            controller.portLost("/dev/fake: gone");
        }
        controller.timerTick();
    });
    EXPECT_EQ(upload.run(), c.status);
    std::fclose(messages);
    std::string said(text, size);
    std::free(text);

    EXPECT_NE(said.find(c.line), std::string::npos) << said;
    EXPECT_EQ(said.find(c.line), said.rfind(c.line)) << "said once: " << said;
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(fs::exists(commandLine.exportFile), c.records >= 0) << "no history, no file";
    if (c.records >= 0)
        EXPECT_NE(said.find("Saved " + std::to_string(c.records) + " test records"),
                  std::string::npos)
            << said;
}

const std::string k120Bytes(120, 'x');

INSTANTIATE_TEST_SUITE_P(
    Ends, ShortUpload,
    testing::Values(
        ShortCase{"Whole", 3, "", false, 0, "Saved 3 test records"},
        ShortCase{"HangUpAfterIdentification", 0, "", true, 7,
                  "upload cut short after 0 test records: the port closed: /dev/fake: gone"},
        ShortCase{"HangUpAfterOne", 1, "", true, 7, "upload cut short after 1 test record:"},
        ShortCase{"HangUpAfterThirty", 30, "", true, 7, "upload cut short after 30 test records:"},
        ShortCase{"HangUpAfterTheLast", 100, "", true, 7, "upload cut short after 100 test"},
        ShortCase{"HangUpBeforeAnyFrame", -1, "", true, 4,
                  "the port closed before any history frame arrived: /dev/fake: gone"},
        ShortCase{"BytesButNoFrame", -1, k120Bytes, false, 4,
                  "120 bytes received but no frame: check the device and the baud rate"},
        ShortCase{"Silence", -1, "", false, 4, "no response from the QM4250 on /dev/fake"}),
    [](const auto& info) { return info.param.name; });

// A name holding a line break and an escape sequence, as a file, a device or a location may.
const std::string kOddName = "odd\n\x1B[2J";
const std::string kOddShown = "odd\\n\\x1B[2J";

struct NameCase {
    const char* name;
    std::string exportFile;  // in the scratch folder; empty for none
    std::string archiveUrl;  // "<dir>" stands for the scratch folder
    bool answer;             // the instrument sends a history
    std::string lostReason;  // the device goes away with this reason
    int status;
    std::string line;  // said whole, kOddShown in it
};

class NamesInMessages : public testing::TestWithParam<NameCase> {};

// Each message that quotes a name keeps to its one line, the name escaped.
TEST_P(NamesInMessages, StayOnOneLine) {
    const NameCase& c = GetParam();
    std::string folder = testing::TempDir() + "names_" + c.name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    auto inFolder = [&](std::string text) {
        if (size_t at = text.find("<dir>"); at != std::string::npos)
            text.replace(at, 5, folder);
        return text;
    };
    CommandLine commandLine;
    if (!c.exportFile.empty())
        commandLine.exportFile = folder + "/" + c.exportFile;
    commandLine.archive = !c.archiveUrl.empty();
    commandLine.archiveUrl = inFolder(c.archiveUrl);
    char* text = nullptr;
    size_t size = 0;
    std::FILE* messages = open_memstream(&text, &size);
    FakePort port;
    FakeTimer timer;
    HeadlessUpload upload(commandLine, messages, port, timer, [] { return "/dev/" + kOddName; });
    QTimer::singleShot(0, [&] {
        Controller& controller = upload.controller();
        for (int k = 0; c.answer && k <= 2; ++k) {
            port.incoming = k == 0 ? "\x02"
                                     "1S42\x03"
                                   : "\x02"
                                     "1" +
                                         std::to_string(k) + ",P,C,0.5,N,0,0\x03";
            controller.dataReceived();
        }
        if (!c.lostReason.empty())
            controller.portLost(c.lostReason);
        controller.timerTick();
    });
    EXPECT_EQ(upload.run(), c.status);
    std::fclose(messages);
    std::string said(text, size);
    std::free(text);
    fs::remove_all(folder);

    EXPECT_NE(said.find(inFolder(c.line) + "\n"), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1B'), std::string::npos) << said;
    EXPECT_EQ(said.find(kOddName), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Sites, NamesInMessages,
    testing::Values(
        NameCase{"Saved", kOddName + ".csv", "", true, "", 0,
                 "Saved 2 test records to <dir>/" + kOddShown + ".csv"},
        NameCase{"NotSaved", kOddName + "/h.csv", "", true, "", 5,
                 "qm4250-upload: history data was not saved to <dir>/" + kOddShown + "/h.csv"},
        NameCase{"NoResponse", "h.csv", "", false, "", 4,
                 "qm4250-upload: no response from the QM4250 on /dev/" + kOddShown},
        NameCase{"PortClosed", "h.csv", "", false, "/dev/" + kOddName + ": gone", 4,
                 "qm4250-upload: the port closed before any history frame arrived: /dev/" +
                     kOddShown + ": gone"},
        NameCase{"CutShort", "h.csv", "", true, "/dev/" + kOddName + ": gone", 7,
                 "qm4250-upload: upload cut short after 2 test records: the port closed: /dev/" +
                     kOddShown + ": gone"},
        NameCase{"Archived", "", "<dir>/" + kOddName + ".sqlite", true, "", 0,
                 "Archived 2 new tests in <dir>/" + kOddShown + ".sqlite"},
        NameCase{"NotArchived", "", "/proc/" + kOddName + "/a.sqlite", true, "", 6,
                 "qm4250-upload: archive not written: /proc/" + kOddShown +
                     "/a.sqlite: No such file or directory"},
        NameCase{"NotALocation", "", "sqlite://" + kOddName, false, "", 2,
                 "qm4250-upload: not an archive location: sqlite://" + kOddShown +
                     " (expected postgresql://user@host/database or a file path)"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
