// The upload without a window over a fake port: how each way of falling short ends, in its exit
// status and its one line.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "cli/headless_upload.h"
#include "fakes.h"

using namespace qm4250;

namespace {

namespace fs = std::filesystem;

// Sends the identification and `records` test records; none at all for -1.
void SendHistory(FakePort& port, Controller& controller, int records) {
    for (int k = 0; k <= records; ++k) {
        port.incoming = k == 0 ? "\x02"
                                 "1S42\x03"
                               : "\x02"
                                 "1" +
                                     std::to_string(k) + ",P,C,0.5,N,0,0\x03";
        controller.dataReceived();
    }
}

struct Said {
    int status;
    std::string messages;
};

// Runs the upload with the device named `device`; `play` is the instrument's side, played once
// the upload waits for its end.
Said RunUpload(const CommandLine& commandLine, FakePort& port, const std::string& device,
               const std::function<void(Controller&)>& play) {
    char* text = nullptr;
    size_t size = 0;
    std::FILE* messages = open_memstream(&text, &size);
    FakeTimer timer;
    HeadlessUpload upload(commandLine, messages, port, timer, [device] { return device; });
    QTimer::singleShot(0, [&] {
        play(upload.controller());
        upload.controller().timerTick();
    });
    int status = upload.run();
    std::fclose(messages);
    Said said{status, std::string(text, size)};
    std::free(text);
    return said;
}

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
    FakePort port;
    Said said = RunUpload(commandLine, port, "/dev/fake", [&](Controller& controller) {
        SendHistory(port, controller, c.records);
        port.incoming = c.stray;
        if (!c.stray.empty())
            controller.dataReceived();
        if (c.hangUp) {
            controller.portLost("/dev/fake: gone");
            controller.portLost("/dev/fake: gone");
        }
    });
    EXPECT_EQ(said.status, c.status);
    EXPECT_NE(said.messages.find(c.line), std::string::npos) << said.messages;
    EXPECT_EQ(said.messages.find(c.line), said.messages.rfind(c.line))
        << "said once: " << said.messages;
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(fs::exists(commandLine.exportFile), c.records >= 0) << "no history, no file";
    if (c.records >= 0) {
        EXPECT_NE(said.messages.find("Saved " + std::to_string(c.records) + " test records"),
                  std::string::npos)
            << said.messages;
    }
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

// A name holding a line break and an escape sequence, as a file, a device or a location may;
// "<dir>" stands for a scratch folder.
const std::string kOdd = "odd\n\x1B[2J";
const std::string kOddShown = "odd\\n\\x1B[2J";

struct NameCase {
    const char* name;
    std::string exportFile, archiveUrl;
    int records;  // as ShortCase's
    int status;
    std::string line;  // said whole, with kOddShown for kOdd
};

class NamesInMessages : public testing::TestWithParam<NameCase> {};

// Each message that quotes a name keeps to its one line, the name escaped.
TEST_P(NamesInMessages, StayOnOneLine) {
    const NameCase& c = GetParam();
    std::string folder = testing::TempDir() + "names_" + c.name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    auto filled = [&](std::string text) {
        if (size_t at = text.find("<dir>"); at != std::string::npos)
            text.replace(at, 5, folder);
        return text;
    };
    CommandLine commandLine;
    commandLine.exportFile = filled(c.exportFile);
    commandLine.archive = !c.archiveUrl.empty();
    commandLine.archiveUrl = filled(c.archiveUrl);
    FakePort port;
    Said said = RunUpload(commandLine, port, "/dev/" + kOdd, [&](Controller& controller) {
        SendHistory(port, controller, c.records);
    });
    fs::remove_all(folder);
    EXPECT_EQ(said.status, c.status);
    EXPECT_NE(said.messages.find(filled(c.line) + "\n"), std::string::npos) << said.messages;
    EXPECT_EQ(said.messages.find('\x1B'), std::string::npos) << said.messages;
}

INSTANTIATE_TEST_SUITE_P(
    Sites, NamesInMessages,
    testing::Values(NameCase{"Saved", "<dir>/" + kOdd, "", 2, 0,
                             "Saved 2 test records to <dir>/" + kOddShown},
                    NameCase{"NoResponse", "<dir>/h.csv", "", -1, 4,
                             "qm4250-upload: no response from the QM4250 on /dev/" + kOddShown},
                    NameCase{"NotArchived", "", "/proc/" + kOdd + "/a", 2, 6,
                             "qm4250-upload: archive not written: /proc/" + kOddShown +
                                 "/a: No such file or directory"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
