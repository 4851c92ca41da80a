#include "cli/command_line_mode.h"

#include <QCoreApplication>
#include <cstdio>

#include "adapters/link_wiring.h"
#include "adapters/port_assignments.h"
#include "adapters/port_device.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "adapters/serial_devices.h"
#include "cli/command_line.h"
#include "cli/escaped_text.h"
#include "cli/headless_upload.h"
#include "cli/list_ports.h"
#include "version.h"

namespace qm4250 {

int RunCommandLine(int argc, char* argv[]) {
    CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
        case CommandLine::Action::Help:
            std::fputs(kCommandLineHelp, stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("qm4250-upload %s\n", kVersion);
            return 0;
        case CommandLine::Action::ListPorts: {
            PortAssignments assignments;
            std::fputs(ListPortsText(ListSerialDevices(),
                                     [&assignments](int n) { return PortDevice(n, &assignments); })
                           .c_str(),
                       stdout);
            return 0;
        }
        case CommandLine::Action::Invalid:
            std::fprintf(stderr, "qm4250-upload: %s (see --help)\n",
                         EscapedText(commandLine.error).c_str());
            return kExitBadArguments;
        case CommandLine::Action::Export:
        case CommandLine::Action::Window:
            break;
    }
    QCoreApplication app(argc, argv);
    PortAssignments assignments;
    // A device path stands for whichever COMM number the upload selects.
    QtSerialPort port(
        commandLine.device.empty()
            ? PortResolver([&assignments](int n) { return PortDevice(n, &assignments); })
            : [device = commandLine.device](int) { return device; });
    QtResponseTimer timer;
    HeadlessUpload upload(commandLine, stderr, port, timer, [&port] { return port.device(); });
    WireLink(port, timer, upload.controller(), &app);
    return upload.run();
}

}  // namespace qm4250
