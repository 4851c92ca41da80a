#pragma once

#include <string_view>

#include "session/serial_port.h"

namespace qm4250 {

// The one way every command reaches the line: select the port, open it if it is closed, write
// the frame. Fails with the first step that fails.
PortResult SendCommand(SerialPort& port, int portNumber, std::string_view frame);

}  // namespace qm4250
