#pragma once

#include <QObject>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

#include "adapters/port_assignments.h"
#include "adapters/serial_devices.h"

namespace qm4250 {

// Where the COMM numbers' devices come from.
struct PortDevices {
    PortAssignments* assignments = nullptr;  // none: nothing is assigned or kept
    std::function<std::vector<SerialDevice>()> present = [] { return std::vector<SerialDevice>{}; };
};

// The device side of the COMM options: a right-click lists the devices present and assigns the
// one picked, and each tooltip says what its option opens, followed every 2 s as devices come
// and go.
class PortOptions : public QObject {
  public:
    static constexpr int kRefreshMs = 2000;

    PortOptions(std::array<QRadioButton*, 5> options, PortDevices devices, QObject* parent);

    // What picking a menu entry does: assigns the device to COMM n, or removes its assignment.
    void choose(int portNumber, const QString& device);
    void refreshTooltips();

  private:
    void showMenu(int portNumber, const QPoint& at);

    std::array<QRadioButton*, 5> options_;
    PortDevices devices_;
    QTimer refresh_;
};

}  // namespace qm4250
