#include "window/port_menu.h"

#include "window/port_texts.h"

namespace qm4250 {

std::unique_ptr<QMenu> BuildPortMenu(int portNumber, const std::vector<SerialDevice>& devices) {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QString("portMenu%1").arg(portNumber));
    for (const SerialDevice& device : devices) {
        QAction* action = menu->addAction(QString::fromStdString(DeviceMenuText(device)));
        const std::string& stable = device.byIdPath.empty() ? device.path : device.byIdPath;
        action->setData(QString::fromStdString(stable));
    }
    if (!devices.empty())
        menu->addSeparator();
    menu->addAction(QString::fromStdString(DefaultMenuText(portNumber)))->setData(QString());
    return menu;
}

}  // namespace qm4250
