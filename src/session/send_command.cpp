#include "session/send_command.h"

namespace qm4250 {

bool SelectPort(SerialPort& port, int portNumber) {
    return port.selectPort(portNumber);
}

bool OpenIfClosed(SerialPort& port) {
    return port.isOpen() || port.open();
}

bool SendCommand(SerialPort& port, int portNumber, std::string_view frame) {
    return SelectPort(port, portNumber) && OpenIfClosed(port) && port.write(frame);
}

}  // namespace qm4250
