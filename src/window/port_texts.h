#pragma once

#include <string>
#include <vector>

#include "adapters/serial_devices.h"

namespace qm4250 {

// The tooltip of COMM n's option: the device it opens and what that is, or "not connected" when
// no such device is present. COMM 1 with nothing assigned, while exactly one USB serial device
// is present, also suggests that device; nothing is remapped without the operator.
std::string PortTooltip(int portNumber, const std::string& device, bool assigned,
                        const std::vector<SerialDevice>& present);

// A present device as the port menu lists it: path, kind, serial number, VID:PID, by-id path.
std::string DeviceMenuText(const SerialDevice& device);

// "Default (/dev/ttyS<n-1>)": the menu entry that removes COMM n's assignment.
std::string DefaultMenuText(int portNumber);

}  // namespace qm4250
