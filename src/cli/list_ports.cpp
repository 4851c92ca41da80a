#include "cli/list_ports.h"

namespace qm4250 {

namespace {

constexpr int kPortNumbers = 5;  // COMM 1 to COMM 5, as the window offers them

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string PortsUsing(const SerialDevice& device,
                       const std::function<std::string(int)>& deviceOfPort) {
    std::string ports;
    for (int n = 1; n <= kPortNumbers; ++n)
        if (FindDevice({device}, deviceOfPort(n)))
            ports += (ports.empty() ? "COMM " : ",") + std::to_string(n);
    return ports;
}

}  // namespace

std::string ListPortsText(const std::vector<SerialDevice>& devices,
                          const std::function<std::string(int portNumber)>& deviceOfPort) {
    std::string text;
    for (const SerialDevice& device : devices) {
        text += device.path + "\t" + OrDash(device.byIdPath) + "\t" + OrDash(device.description) +
                "\t" + OrDash(VidPid(device)) + "\t" + OrDash(PortsUsing(device, deviceOfPort)) +
                "\n";
    }
    return text;
}

}  // namespace qm4250
