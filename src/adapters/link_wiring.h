#pragma once

class QObject;

namespace qm4250 {

class Controller;
class QtResponseTimer;
class QtSerialPort;

// Delivers the port's arrivals, line errors and loss, and the timer's ticks, to the controller,
// for as long as `context` lives.
void WireLink(QtSerialPort& port, QtResponseTimer& timer, Controller& controller, QObject* context);

}  // namespace qm4250
