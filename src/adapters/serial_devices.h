#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm4250 {

// A serial device present on the machine.
struct SerialDevice {
    std::string path;      // /dev/ttyUSB0
    std::string byIdPath;  // /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0, if any
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::optional<uint16_t> vendorId;
    std::optional<uint16_t> productId;
};

// The serial devices present now, with their stable by-id names where udev made them.
std::vector<SerialDevice> ListSerialDevices();

// What the device is: "FT232R USB UART, FTDI"; empty when the system does not say.
std::string DeviceKind(const SerialDevice& device);

// "0403:6001"; empty for a device that is not on USB.
std::string VidPid(const SerialDevice& device);

// The present device that a path names, directly, through its by-id name or through any other
// link to it; none when nothing present answers to it.
const SerialDevice* FindDevice(const std::vector<SerialDevice>& devices, const std::string& path);

}  // namespace qm4250
