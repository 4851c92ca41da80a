// The archive window on a large archive (the 1,000,000 tests archive_bench makes): the time to
// open it showing the last 30 days of one instrument, the time a filter change that selects
// 100,000 tests takes until the chart and the table are drawn, and the peak resident memory.
//   trend_bench ARCHIVE.sqlite
#include <QApplication>
#include <QLineEdit>
#include <chrono>
#include <cstdio>

#include "proc_status.h"
#include "trend/trend_window.h"

using namespace qm4250;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: trend_bench ARCHIVE.sqlite\n", stderr);
        return 2;
    }
    ArchiveLocation location;
    location.path = argv[1];

    auto start = std::chrono::steady_clock::now();
    TrendWindow window(location);
    window.resize(1400, 900);
    bool shown = window.showRecent();
    window.show();
    QCoreApplication::processEvents();
    double openMs = Since(start);

    window.findChild<QLineEdit*>("pn")->setText("PN5");
    window.findChild<QComboBox*>("instrument")->setCurrentIndex(0);
    window.findChild<QLineEdit*>("from")->clear();
    start = std::chrono::steady_clock::now();
    bool filtered = window.applyFilter();
    window.repaint();
    QCoreApplication::processEvents();
    double filterMs = Since(start);
    if (!shown || !filtered) {
        std::fputs("trend_bench: the archive cannot be read\n", stderr);
        return 1;
    }
    std::printf("trend_open_ms=%.1f\ntrend_filter_ms=%.1f\ntrend_peak_mb=%.1f\n", openMs, filterMs,
                ProcStatusKb("VmHWM") / 1024.0);
    return 0;
}
