#include "window/port_options.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fakes.h"
#include "window/main_window.h"
#include "window/port_menu.h"
#include "window/port_texts.h"

using namespace qm4250;

namespace {

const SerialDevice kFtdi{"/dev/ttyUSB0",
                         "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0",
                         "FT232R USB UART",
                         "FTDI",
                         "A12345",
                         0x0403,
                         0x6001};
const SerialDevice kAcm{"/dev/ttyACM0", "", "USB Serial", "Arduino", "", 0x2341, 0x0043};
const SerialDevice kUart{"/dev/ttyS0", "", "", "", "", std::nullopt, std::nullopt};

struct TooltipCase {
    const char* name;
    int port;
    std::string device;
    bool assigned;
    std::vector<SerialDevice> present;
    std::string tooltip;
};

class Tooltip : public testing::TestWithParam<TooltipCase> {};

TEST_P(Tooltip, SaysWhatTheOptionOpens) {
    const TooltipCase& c = GetParam();
    EXPECT_EQ(PortTooltip(c.port, c.device, c.assigned, c.present), c.tooltip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Tooltip,
    testing::Values(
        TooltipCase{
            "Present", 2, "/dev/ttyUSB0", true, {kFtdi}, "/dev/ttyUSB0\nFT232R USB UART, FTDI"},
        TooltipCase{"PresentByItsStableName",
                    2,
                    kFtdi.byIdPath,
                    true,
                    {kFtdi},
                    kFtdi.byIdPath + "\nFT232R USB UART, FTDI"},
        TooltipCase{"Absent", 3, "/dev/ttyS2", false, {kUart}, "/dev/ttyS2\nnot connected"},
        TooltipCase{"OneUsbDeviceIsSuggestedForCommOne",
                    1,
                    "/dev/ttyS0",
                    false,
                    {kUart, kFtdi},
                    "/dev/ttyS0\nRight-click to use /dev/ttyUSB0 (FT232R USB UART, FTDI)"},
        TooltipCase{
            "NoSuggestionOnceAssigned", 1, "/dev/ttyS0", true, {kUart, kFtdi}, "/dev/ttyS0"},
        TooltipCase{"NoSuggestionBetweenTwo",
                    1,
                    "/dev/ttyS4",
                    false,
                    {kFtdi, kAcm},
                    "/dev/ttyS4\nnot connected"},
        TooltipCase{"NoSuggestionForOtherPorts",
                    2,
                    "/dev/ttyS1",
                    false,
                    {kFtdi},
                    "/dev/ttyS1\nnot connected"}),
    [](const testing::TestParamInfo<TooltipCase>& info) { return info.param.name; });

TEST(PortMenu, ListsThePresentDevicesThenTheDefault) {
    std::unique_ptr<QMenu> menu = BuildPortMenu(2, {kFtdi, kAcm});
    QStringList texts, data;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        texts << action->text();
        data << action->data().toString();
    }
    EXPECT_EQ(texts, (QStringList{"/dev/ttyUSB0: FT232R USB UART, FTDI; serial A12345; 0403:6001; "
                                  "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0",
                                  "/dev/ttyACM0: USB Serial, Arduino; 2341:0043",
                                  "Default (/dev/ttyS1)"}));
    EXPECT_EQ(data, (QStringList{QString::fromStdString(kFtdi.byIdPath), "/dev/ttyACM0", ""}));
}

// Picking a device in one run assigns it for the next: the new window's tooltip names it.
TEST(PortOptions, AnAssignmentOutlivesTheWindow) {
    QTemporaryDir config;
    PortAssignments assignments(config.path() + "/ports.ini");
    auto present = [] { return std::vector<SerialDevice>{kFtdi}; };
    FakePort port;
    FakeTimer timer;
    {
        MainWindow window(port, timer, "/nonexistent/", PortDevices{&assignments, present});
        window.portOptions().choose(4, QString::fromStdString(kFtdi.byIdPath));
    }
    PortAssignments nextRun(config.path() + "/ports.ini");
    MainWindow window(port, timer, "/nonexistent/", PortDevices{&nextRun, present});
    EXPECT_EQ(window.findChild<QRadioButton*>("optComm4")->toolTip().toStdString(),
              kFtdi.byIdPath + "\nFT232R USB UART, FTDI");
    window.portOptions().choose(4, "");
    EXPECT_EQ(window.findChild<QRadioButton*>("optComm4")->toolTip(), "/dev/ttyS3\nnot connected");
}

}  // namespace
