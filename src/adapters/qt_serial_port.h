#pragma once

#include <QObject>
#include <QSerialPort>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "adapters/line_counters.h"
#include "adapters/port_device.h"
#include "session/serial_port.h"
#include "session/session_events.h"

namespace qm4250 {

// The device that COMM n opens; empty for a number that names no port.
using PortResolver = std::function<std::string(int portNumber)>;

// The serial port through QSerialPort: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control; DTR and RTS are left as the driver sets them. Arrivals and line errors are separate
// signals. QSerialPort reports no framing, parity, overrun or break errors, so the driver's error
// counts are read when the port opens and at each arrival: every kind that grew raises its line
// error, in CountedLineErrors' order, before the arrival itself. A device that goes away (a read
// that fails or finds the line hung up, a USB adapter pulled) is let go of at once and reported
// once, after whatever it had delivered: a hung-up terminal stays readable forever, and polling
// it would spin.
class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit QtSerialPort(
        PortResolver resolver = [](int n) { return PortDevice(n); },
        std::unique_ptr<LineCounterSource> counters = std::make_unique<KernelLineCounters>(),
        QObject* parent = nullptr);

    PortResult selectPort(int n) override;
    bool isOpen() const override;
    PortResult open() override;
    void close() override;
    PortResult write(std::string_view bytes) override;
    std::string readAll() override;

    // The device the last selected COMM number opens.
    std::string device() const { return selectedDevice_.toStdString(); }

  signals:
    void dataReceived();
    void lineError(LineError error);
    void portLost(const std::string& reason);

  private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void onReadyRead();
    PortFailure failure(PortFailure::Kind kind) const;

    PortResolver resolver_;
    std::unique_ptr<LineCounterSource> counters_;
    std::optional<LineCounters> lastCounts_;  // none where the driver keeps no counts
    QSerialPort port_;
    QString selectedDevice_;
    int selectedNumber_ = 0;
    QByteArray keptAfterLoss_;  // received before the device disappeared, not yet read
};

}  // namespace qm4250
