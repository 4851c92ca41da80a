#include <QApplication>
#include <algorithm>
#include <cstdio>

#include "adapters/link_wiring.h"
#include "adapters/port_assignments.h"
#include "adapters/port_device.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "adapters/serial_devices.h"
#include "cli/command_line.h"
#include "cli/command_line_mode.h"
#include "cli/escaped_text.h"
#include "cli/qt_messages.h"
#include "version.h"
#include "window/application_folder.h"
#include "window/archive_writer.h"
#include "window/main_window.h"
#include "window/settings_file.h"

using namespace qm4250;

int main(int argc, char* argv[]) {
    KeepQtNoiseOffTheTerminal();
    if (std::any_of(argv + 1, argv + argc, IsCommandLineOption))
        return RunCommandLine(argc, argv);

    if (std::optional<std::string> unknown =
            FirstUnknownWindowArgument(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fprintf(stderr, "qm4250-upload: unknown argument %s (see --help)\n",
                     EscapedText(*unknown).c_str());
        return kExitBadArguments;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("qm4250-upload");
    QApplication::setApplicationVersion(kVersion);

    PortAssignments assignments;
    QtSerialPort port([&assignments](int n) { return PortDevice(n, &assignments); });
    QtResponseTimer timer;
    QString folder = ApplicationFolder(QApplication::applicationDirPath());
    ArchiveWriter archive([&port] { return port.device(); });
    MainWindow window(port, timer, SettingsPath(folder.toStdString()),
                      PortDevices{&assignments, ListSerialDevices}, &archive);
    WireLink(port, timer, window.controller(), &window);
    window.show();
    return app.exec();
}
