#include "window/port_options.h"

#include <QAction>

#include "adapters/port_device.h"
#include "window/port_menu.h"
#include "window/port_texts.h"

namespace qm4250 {

PortOptions::PortOptions(std::array<QRadioButton*, 5> options, PortDevices devices, QObject* parent)
    : QObject(parent), options_(options), devices_(std::move(devices)) {
    for (int n = 1; n <= static_cast<int>(options_.size()); ++n) {
        QRadioButton* option = options_[n - 1];
        option->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(option, &QWidget::customContextMenuRequested, this,
                [this, n, option](const QPoint& at) { showMenu(n, option->mapToGlobal(at)); });
    }
    // A timer, not a watch on udev: a look every 2 s costs nothing and needs no extra library.
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &PortOptions::refreshTooltips);
    refresh_.start();
    refreshTooltips();
}

void PortOptions::choose(int portNumber, const QString& device) {
    if (devices_.assignments) {
        if (device.isEmpty())
            devices_.assignments->remove(portNumber);
        else
            devices_.assignments->assign(portNumber, device.toStdString());
    }
    refreshTooltips();
}

void PortOptions::refreshTooltips() {
    std::vector<SerialDevice> present = devices_.present();
    for (int n = 1; n <= static_cast<int>(options_.size()); ++n) {
        bool assigned = devices_.assignments && devices_.assignments->device(n);
        std::string device = PortDevice(n, devices_.assignments);
        options_[n - 1]->setToolTip(
            QString::fromStdString(PortTooltip(n, device, assigned, present)));
    }
}

void PortOptions::showMenu(int portNumber, const QPoint& at) {
    std::unique_ptr<QMenu> menu = BuildPortMenu(portNumber, devices_.present());
    if (QAction* picked = menu->exec(at))
        choose(portNumber, picked->data().toString());
}

}  // namespace qm4250
