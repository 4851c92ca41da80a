#include "cli/list_ports.h"

#include <gtest/gtest.h>

using namespace qm4250;

namespace {

TEST(ListPorts, OneLinePerDeviceWithTheCommNumbersThatOpenIt) {
    std::vector<SerialDevice> devices{{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1-if00-port0",
                                       "FT232R USB UART", "FTDI", "A1", 0x0403, 0x6001},
                                      {"/dev/ttyS0", "", "", "", "", std::nullopt, std::nullopt},
                                      {"/dev/ttyACM0", "", "USB Serial", "", "", 0x2341, 0x0043}};
    auto deviceOfPort = [](int n) -> std::string {
        switch (n) {
            case 1:
                return "/dev/ttyS0";
            case 2:
            case 4:
                return "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
            default:
                return "/dev/ttyS" + std::to_string(n - 1);
        }
    };
    EXPECT_EQ(ListPortsText(devices, deviceOfPort),
              "/dev/ttyUSB0\t/dev/serial/by-id/usb-FTDI_A1-if00-port0\tFT232R USB "
              "UART\t0403:6001\tCOMM 2,4\n"
              "/dev/ttyS0\t-\t-\t-\tCOMM 1\n"
              "/dev/ttyACM0\t-\tUSB Serial\t2341:0043\t-\n");
}

}  // namespace
