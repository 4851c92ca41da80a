#pragma once

#include <string>

namespace qm4250 {

// The device that COMM n opens: QM4250_COMM<n> when that environment variable names one (a USB
// adapter, a simulator's pseudo-terminal), otherwise the platform's n-th serial port
// (/dev/ttyS<n-1> on Linux, COMn on Windows). Empty for numbers below 1, which name no port.
std::string PortDevice(int portNumber);

}  // namespace qm4250
