#pragma once

#include <string>

namespace qm4250 {

class PortAssignments;

// The platform's n-th serial port: /dev/ttyS<n-1> on Linux, COMn on Windows. Empty for numbers
// below 1, which name no port.
std::string DefaultPortDevice(int portNumber);

// The device that COMM n opens: QM4250_COMM<n> when that environment variable names one (for
// scripts and tests), else the device the operator assigned to it, else the default.
std::string PortDevice(int portNumber, const PortAssignments* assignments = nullptr);

}  // namespace qm4250
