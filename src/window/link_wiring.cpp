#include "window/link_wiring.h"

#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "window/main_window.h"

void WireLinkToWindow(QtSerialPort& port, QtResponseTimer& timer, MainWindow& window) {
    window.setPortErrorSource([&port] { return port.lastError(); });
    QObject::connect(&port, &QtSerialPort::notification, &window,
                     [&window](int code) { window.controller().commEvent(code); });
    QObject::connect(&timer, &QtResponseTimer::tick, &window,
                     [&window] { window.controller().timerTick(); });
}
