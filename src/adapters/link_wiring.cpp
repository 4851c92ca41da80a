#include "adapters/link_wiring.h"

#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "session/controller.h"

namespace qm4250 {

void WireLink(QtSerialPort& port, QtResponseTimer& timer, Controller& controller,
              QObject* context) {
    QObject::connect(&port, &QtSerialPort::dataReceived, context,
                     [&controller] { controller.dataReceived(); });
    QObject::connect(&port, &QtSerialPort::lineError, context,
                     [&controller](LineError error) { controller.lineError(error); });
    QObject::connect(&port, &QtSerialPort::portLost, context,
                     [&controller](const std::string& reason) { controller.portLost(reason); });
    QObject::connect(&timer, &QtResponseTimer::tick, context,
                     [&controller] { controller.timerTick(); });
}

}  // namespace qm4250
