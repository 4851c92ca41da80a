#include "adapters/serial_devices.h"

#include <QSerialPortInfo>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace qm4250 {

namespace {

namespace fs = std::filesystem;

constexpr const char* kByIdFolder = "/dev/serial/by-id";

std::string Canonical(const std::string& path) {
    std::error_code error;
    fs::path canonical = fs::canonical(path, error);
    return error ? path : canonical.string();
}

std::string ByIdPathOf(const std::string& devicePath) {
    std::error_code error;
    for (const fs::directory_entry& link : fs::directory_iterator(kByIdFolder, error))
        if (Canonical(link.path().string()) == devicePath)
            return link.path().string();
    return "";
}

// A device that udev named but Qt did not list (one whose driver Qt does not know) is still one
// the operator may mean.
void AddDevicesOnlyUdevNames(std::vector<SerialDevice>& devices) {
    std::error_code error;
    for (const fs::directory_entry& link : fs::directory_iterator(kByIdFolder, error)) {
        std::string target = Canonical(link.path().string());
        bool listed = false;
        for (const SerialDevice& device : devices)
            listed = listed || Canonical(device.path) == target;
        if (!listed)
            devices.push_back(SerialDevice{target, link.path().string(), "", "", "", {}, {}});
    }
}

}  // namespace

std::vector<SerialDevice> ListSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation().toStdString();
        device.byIdPath = ByIdPathOf(Canonical(device.path));
        device.description = info.description().toStdString();
        device.manufacturer = info.manufacturer().toStdString();
        device.serialNumber = info.serialNumber().toStdString();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        devices.push_back(std::move(device));
    }
    AddDevicesOnlyUdevNames(devices);
    return devices;
}

std::string DeviceKind(const SerialDevice& device) {
    if (device.description.empty() || device.manufacturer.empty())
        return device.description + device.manufacturer;
    return device.description + ", " + device.manufacturer;
}

std::string VidPid(const SerialDevice& device) {
    if (!device.vendorId || !device.productId)
        return "";
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", *device.vendorId, *device.productId);
    return text;
}

const SerialDevice* FindDevice(const std::vector<SerialDevice>& devices, const std::string& path) {
    std::string target = Canonical(path);
    for (const SerialDevice& device : devices)
        if (path == device.path || path == device.byIdPath || target == Canonical(device.path))
            return &device;
    return nullptr;
}

}  // namespace qm4250
