#include "adapters/port_device.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qm4250;

namespace {

TEST(PortDevice, MapsCommNToTheNthSerialPort) {
    unsetenv("QM4250_COMM1");
    unsetenv("QM4250_COMM7");
    EXPECT_EQ(PortDevice(1), "/dev/ttyS0");
    EXPECT_EQ(PortDevice(5), "/dev/ttyS4");
    EXPECT_EQ(PortDevice(7), "/dev/ttyS6");
    EXPECT_EQ(PortDevice(0), "");
    EXPECT_EQ(PortDevice(-3), "");
}

TEST(PortDevice, EnvironmentNamesAnotherDevice) {
    setenv("QM4250_COMM2", "/dev/ttyUSB0", 1);
    EXPECT_EQ(PortDevice(2), "/dev/ttyUSB0");
    setenv("QM4250_COMM2", "", 1);
    EXPECT_EQ(PortDevice(2), "/dev/ttyS1") << "an empty variable names nothing";
    unsetenv("QM4250_COMM2");
}

}  // namespace
