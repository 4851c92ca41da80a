#include "window/port_texts.h"

#include <algorithm>

#include "adapters/port_device.h"

namespace qm4250 {

namespace {

bool IsUsb(const SerialDevice& device) {
    return device.vendorId.has_value();
}

std::string WithKind(const SerialDevice& device) {
    std::string kind = DeviceKind(device);
    return kind.empty() ? device.path : device.path + " (" + kind + ")";
}

}  // namespace

std::string PortTooltip(int portNumber, const std::string& device, bool assigned,
                        const std::vector<SerialDevice>& present) {
    std::string tooltip = device;
    if (const SerialDevice* found = FindDevice(present, device)) {
        if (std::string kind = DeviceKind(*found); !kind.empty())
            tooltip += "\n" + kind;
    } else {
        tooltip += "\nnot connected";
    }
    if (portNumber == 1 && !assigned && std::count_if(present.begin(), present.end(), IsUsb) == 1) {
        const SerialDevice& usb = *std::find_if(present.begin(), present.end(), IsUsb);
        if (!FindDevice({usb}, device))
            tooltip += "\nRight-click to use " + WithKind(usb);
    }
    return tooltip;
}

std::string DeviceMenuText(const SerialDevice& device) {
    std::string text = device.path;
    auto add = [&text](const std::string& part) {
        if (!part.empty())
            text += (text.find(": ") == std::string::npos ? ": " : "; ") + part;
    };
    add(DeviceKind(device));
    add(device.serialNumber.empty() ? "" : "serial " + device.serialNumber);
    add(VidPid(device));
    add(device.byIdPath);
    return text;
}

std::string DefaultMenuText(int portNumber) {
    return "Default (" + DefaultPortDevice(portNumber) + ")";
}

}  // namespace qm4250
