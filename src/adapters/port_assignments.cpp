#include "adapters/port_assignments.h"

#include <QSettings>
#include <QStandardPaths>

namespace qm4250 {

namespace {

QString Key(int portNumber) {
    return QString("COMM%1").arg(portNumber);
}

}  // namespace

PortAssignments::PortAssignments(QString iniPath) : path_(std::move(iniPath)) {}

QString PortAssignments::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/qm4250-upload/ports.ini";
}

std::optional<std::string> PortAssignments::device(int portNumber) const {
    QString device = QSettings(path_, QSettings::IniFormat).value(Key(portNumber)).toString();
    if (device.isEmpty())
        return std::nullopt;
    return device.toStdString();
}

void PortAssignments::assign(int portNumber, const std::string& device) {
    QSettings(path_, QSettings::IniFormat)
        .setValue(Key(portNumber), QString::fromStdString(device));
}

void PortAssignments::remove(int portNumber) {
    QSettings(path_, QSettings::IniFormat).remove(Key(portNumber));
}

}  // namespace qm4250
