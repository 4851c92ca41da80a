#pragma once

#include <QObject>
#include <QSerialPort>

#include "session/serial_port.h"

// The serial port through QSerialPort: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control; DTR and RTS are left as the driver sets them. Raises notification(code) with the
// receive handler's event codes.
class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit QtSerialPort(QObject* parent = nullptr);

    bool selectPort(int n) override;
    bool isOpen() const override;
    bool open() override;
    void close() override;
    bool write(std::string_view bytes) override;
    std::string readAll() override;

    // Why the last open or write failed, in the platform's words.
    QString lastError() const { return lastError_; }

  signals:
    void notification(int eventCode);

  private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString selectedDevice_;
    QByteArray keptAfterLoss_;  // received before the device disappeared, not yet read
    QString lastError_;
};
