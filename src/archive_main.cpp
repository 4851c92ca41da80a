#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_location.h"
#include "cli/archive_command.h"
#include "cli/escaped_text.h"
#include "cli/qt_messages.h"
#include "trend/memory_reuse.h"
#include "trend/selection_exports.h"
#include "trend/trend_window.h"

using namespace qm4250;

int main(int argc, char* argv[]) {
    KeepQtNoiseOffTheTerminal();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "report") {
        // The report draws charts: a GUI application, but it needs no display (a nightly job).
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
            qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        ReuseFreedMemory();
        QApplication app(argc, argv);
        return RunArchiveCommand(arguments, stdout, stderr, WriteArchiveReport);
    }
    if (!arguments.empty()) {
        QCoreApplication app(argc, argv);
        return RunArchiveCommand(arguments, stdout, stderr);
    }
    // Without a command, the archive window.
    ReuseFreedMemory();
    QApplication app(argc, argv);
    ChosenLocation chosen = ChooseArchiveLocation({});
    if (!chosen.location) {
        std::fprintf(stderr, "qm4250-archive: %s\n",
                     EscapedText(NotALocationText(chosen.text).toStdString()).c_str());
        return 2;
    }
    TrendWindow window(*chosen.location);
    window.showRecent();
    window.show();
    return app.exec();
}
