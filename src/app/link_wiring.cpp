#include "app/link_wiring.h"

#include "app/main_window.h"
#include "link/qt_response_timer.h"
#include "link/qt_serial_port.h"

void WireLinkToWindow(QtSerialPort& port, QtResponseTimer& timer, MainWindow& window) {
    window.setPortErrorSource([&port] { return port.lastError(); });
    QObject::connect(&port, &QtSerialPort::notification, &window,
                     [&window](int code) { window.controller().commEvent(code); });
    QObject::connect(&timer, &QtResponseTimer::tick, &window,
                     [&window] { window.controller().timerTick(); });
}
