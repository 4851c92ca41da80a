#include "session/send_command.h"

namespace qm4250 {

PortResult SendCommand(SerialPort& port, int portNumber, std::string_view frame) {
    if (PortResult selected = port.selectPort(portNumber); !selected)
        return selected;
    if (!port.isOpen()) {
        if (PortResult opened = port.open(); !opened)
            return opened;
    }
    return port.write(frame);
}

}  // namespace qm4250
