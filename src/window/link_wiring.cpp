#include "window/link_wiring.h"

#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "window/main_window.h"

namespace qm4250 {

void WireLinkToWindow(QtSerialPort& port, QtResponseTimer& timer, MainWindow& window) {
    QObject::connect(&port, &QtSerialPort::dataReceived, &window,
                     [&window] { window.controller().dataReceived(); });
    QObject::connect(&port, &QtSerialPort::lineError, &window,
                     [&window](LineError error) { window.controller().lineError(error); });
    QObject::connect(&timer, &QtResponseTimer::tick, &window,
                     [&window] { window.controller().timerTick(); });
}

}  // namespace qm4250
