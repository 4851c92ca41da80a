#pragma once

#include <QMenu>
#include <memory>
#include <vector>

#include "adapters/serial_devices.h"

namespace qm4250 {

// The menu a right-click on COMM n's option opens: every present device, then the default. Each
// action's data is the device to assign, its stable by-id path where it has one, so that the
// assignment survives plugging the adapter into another socket; the default's is empty.
std::unique_ptr<QMenu> BuildPortMenu(int portNumber, const std::vector<SerialDevice>& devices);

}  // namespace qm4250
