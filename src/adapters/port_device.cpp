#include "adapters/port_device.h"

#include <cstdlib>

namespace qm4250 {

std::string PortDevice(int portNumber) {
    if (portNumber < 1)
        return {};
    std::string variable = "QM4250_COMM" + std::to_string(portNumber);
    if (const char* device = std::getenv(variable.c_str()); device && *device)
        return device;
#ifdef _WIN32
    return "COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace qm4250
