#pragma once

#include <string_view>

#include "session/serial_port.h"

namespace qm4250 {

// The one way every command reaches the line: select the port, open it if it is closed, write
// the frame. False when any of the three steps fails.
bool SendCommand(SerialPort& port, int portNumber, std::string_view frame);

// Only the steps up to the open, for REQUEST, which restarts the response timer in between.
bool SelectPort(SerialPort& port, int portNumber);
bool OpenIfClosed(SerialPort& port);

}  // namespace qm4250
