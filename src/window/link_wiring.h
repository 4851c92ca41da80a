#pragma once

class MainWindow;
class QtResponseTimer;
class QtSerialPort;

// Delivers the port's notifications and the timer's ticks to the window's controller, and lets
// the window's port message boxes show the platform's reason for a failure.
void WireLinkToWindow(QtSerialPort& port, QtResponseTimer& timer, MainWindow& window);
