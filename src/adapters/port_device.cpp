#include "adapters/port_device.h"

#include <cstdlib>
#include <optional>

#include "adapters/port_assignments.h"

namespace qm4250 {

std::string DefaultPortDevice(int portNumber) {
    if (portNumber < 1)
        return {};
#ifdef _WIN32
    return "COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

std::string PortDevice(int portNumber, const PortAssignments* assignments) {
    if (portNumber < 1)
        return {};
    std::string variable = "QM4250_COMM" + std::to_string(portNumber);
    if (const char* device = std::getenv(variable.c_str()); device && *device)
        return device;
    if (assignments)
        if (std::optional<std::string> assigned = assignments->device(portNumber))
            return *assigned;
    return DefaultPortDevice(portNumber);
}

}  // namespace qm4250
