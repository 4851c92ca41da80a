#pragma once

namespace qm4250 {

class MainWindow;
class QtResponseTimer;
class QtSerialPort;

// Delivers the port's arrivals and line errors and the timer's ticks to the window's controller.
void WireLinkToWindow(QtSerialPort& port, QtResponseTimer& timer, MainWindow& window);

}  // namespace qm4250
