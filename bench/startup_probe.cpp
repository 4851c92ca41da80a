// The program's start-up, wired as the program itself, that writes one line to standard output
// when the window first paints and then ends. startup_bench times it from the outside.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "adapters/link_wiring.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "version.h"
#include "window/main_window.h"
#include "window/settings_file.h"

using namespace qm4250;

namespace {

class FirstPaintReporter : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::puts("shown");
            std::fflush(stdout);
            // Ending once the paint has reached the screen keeps the shutdown clean.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProgramName);
    QApplication::setApplicationVersion(kVersion);

    QtSerialPort port;
    QtResponseTimer timer;
    MainWindow window(port, timer, SettingsPath(QApplication::applicationDirPath().toStdString()));
    WireLink(port, timer, window.controller(), &window);
    FirstPaintReporter reporter;
    window.installEventFilter(&reporter);
    window.show();
    return app.exec();
}
