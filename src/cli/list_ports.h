#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adapters/serial_devices.h"

namespace qm4250 {

// One line per present device, its fields separated by tabs ("-" for one the system does not
// know): path, by-id path, description, VID:PID, and the COMM numbers that open it.
std::string ListPortsText(const std::vector<SerialDevice>& devices,
                          const std::function<std::string(int portNumber)>& deviceOfPort);

}  // namespace qm4250
