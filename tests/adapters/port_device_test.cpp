#include "adapters/port_device.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

#include "adapters/port_assignments.h"

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

// The default, then the operator's assignment, then the environment: each wins over the one before,
// and an assignment is there again for the next run.
TEST(PortDevice, AnAssignmentWinsOverTheDefaultAndTheEnvironmentOverBoth) {
    QTemporaryDir config;
    QString ini = config.path() + "/ports.ini";
    unsetenv("QM4250_COMM3");
    PortAssignments assignments(ini);
    EXPECT_EQ(PortDevice(3, &assignments), "/dev/ttyS2");
    assignments.assign(3, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    PortAssignments nextRun(ini);
    EXPECT_EQ(PortDevice(3, &nextRun), "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    EXPECT_EQ(PortDevice(4, &nextRun), "/dev/ttyS3");
    setenv("QM4250_COMM3", "/dev/pts/9", 1);
    EXPECT_EQ(PortDevice(3, &nextRun), "/dev/pts/9");
    unsetenv("QM4250_COMM3");
    nextRun.remove(3);
    EXPECT_EQ(PortDevice(3, &assignments), "/dev/ttyS2");
}

}  // namespace
