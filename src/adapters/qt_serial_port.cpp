#include "adapters/qt_serial_port.h"

#include <utility>

namespace qm4250 {

QtSerialPort::QtSerialPort(PortResolver resolver, std::unique_ptr<LineCounterSource> counters,
                           QObject* parent)
    : QObject(parent), resolver_(std::move(resolver)), counters_(std::move(counters)) {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
}

PortResult QtSerialPort::selectPort(int n) {
    std::string device = resolver_(n);
    if (device.empty())
        return PortFailure{PortFailure::Kind::NoSuchPort, n, "", ""};
    // While the port is open the open device stays in use; the next open takes the new one.
    selectedDevice_ = QString::fromStdString(device);
    port_.setPortName(selectedDevice_);
    selectedNumber_ = n;
    return {};
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

PortResult QtSerialPort::open() {
    if (port_.open(QIODevice::ReadWrite)) {
        lastCounts_ = counters_->read(port_.handle());
        return {};
    }
    return failure(port_.error() == QSerialPort::PermissionError ? PortFailure::Kind::NoPermission
                                                                 : PortFailure::Kind::Platform);
}

void QtSerialPort::close() {
    port_.close();
    lastCounts_.reset();
}

PortResult QtSerialPort::write(std::string_view bytes) {
    if (!port_.isOpen())
        return failure(PortFailure::Kind::NotOpen);
    qint64 written = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written == static_cast<qint64>(bytes.size()))
        return {};
    return failure(PortFailure::Kind::Platform);
}

PortFailure QtSerialPort::failure(PortFailure::Kind kind) const {
    std::string detail =
        kind == PortFailure::Kind::NotOpen ? "" : port_.errorString().toStdString();
    return {kind, selectedNumber_, selectedDevice_.toStdString(), std::move(detail)};
}

std::string QtSerialPort::readAll() {
    if (port_.isOpen())
        keptAfterLoss_ += port_.readAll();
    QByteArray bytes = std::exchange(keptAfterLoss_, QByteArray());
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void QtSerialPort::onReadyRead() {
    if (lastCounts_) {
        if (std::optional<LineCounters> counts = counters_->read(port_.handle())) {
            std::vector<LineError> errors = CountedLineErrors(*lastCounts_, *counts);
            lastCounts_ = counts;
            for (LineError error : errors)
                emit lineError(error);
        }
    }
    emit dataReceived();
}

// A read that fails or returns nothing on a readable line (a hung-up terminal) leaves errno
// stale, so the reason is said in our own words.
void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (!port_.isOpen())
        return;
    QString reason;
    if (error == QSerialPort::ResourceError)
        reason = tr("the device disappeared");
    else if (error == QSerialPort::ReadError)
        reason = tr("the line was hung up or cannot be read");
    else
        return;
    // Keep what it delivered, let go of it so the next command reports the missing port, and hand
    // the kept text on before the loss.
    keptAfterLoss_ += port_.readAll();
    port_.close();
    lastCounts_.reset();
    if (!keptAfterLoss_.isEmpty())
        emit dataReceived();
    emit portLost(tr("%1: %2").arg(selectedDevice_, reason).toStdString());
}

}  // namespace qm4250
