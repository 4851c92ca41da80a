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

}  // namespace
