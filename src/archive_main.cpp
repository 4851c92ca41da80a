#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_location.h"
#include "cli/archive_command.h"
#include "trend/trend_window.h"

using namespace qm4250;

int main(int argc, char* argv[]) {
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        return RunArchiveCommand(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
    }
    // Without a command, the archive window.
    QApplication app(argc, argv);
    ChosenLocation chosen = ChooseArchiveLocation({});
    if (!chosen.location) {
        std::fprintf(stderr, "qm4250-archive: %s\n",
                     NotALocationText(chosen.text).toStdString().c_str());
        return 2;
    }
    TrendWindow window(*chosen.location);
    window.showRecent();
    window.show();
    return app.exec();
}
