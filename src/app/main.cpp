#include <QApplication>

#include "app/application_folder.h"
#include "app/command_line_mode.h"
#include "app/link_wiring.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "link/qt_response_timer.h"
#include "link/qt_serial_port.h"

int main(int argc, char* argv[]) {
    if (argc > 1)
        return RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName("qm4250-upload");
    QApplication::setApplicationVersion("1.1");

    QtSerialPort port;
    QtResponseTimer timer;
    QString folder = ApplicationFolder(QApplication::applicationDirPath());
    MainWindow window(port, timer, SettingsPath(folder.toStdString()));
    WireLinkToWindow(port, timer, window);
    window.show();
    return app.exec();
}
