// The archive window on a large archive (the 1,000,000 tests archive_bench makes): the time to
// open it showing the last 30 days of one instrument, the time a filter change that selects one
// PN (100,000 tests) takes until the charts and the table are drawn, the time the whole archive
// takes, charted pooled, and the peak resident memory. With a screenshot name, the window as the
// PN filter left it is saved there (PNG).
//   trend_bench ARCHIVE.sqlite [PN] [SCREENSHOT.png]
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <chrono>
#include <cstdio>

#include "proc_status.h"
#include "trend/memory_reuse.h"
#include "trend/trend_window.h"

using namespace qm4250;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs the filter and paints the window, as a click on Apply would end.
double Redraw(TrendWindow& window, bool& read) {
    auto start = std::chrono::steady_clock::now();
    read = window.applyFilter() && read;
    window.repaint();
    QCoreApplication::processEvents();
    return Since(start);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As qm4250-archive does before it opens the window.
    ReuseFreedMemory();
    QApplication app(argc, argv);
    if (argc < 2 || argc > 4) {
        std::fputs("usage: trend_bench ARCHIVE.sqlite [PN] [SCREENSHOT.png]\n", stderr);
        return 2;
    }
    ArchiveLocation location;
    location.path = argv[1];
    QString pn = argc > 2 ? argv[2] : "PN5";

    auto start = std::chrono::steady_clock::now();
    TrendWindow window(location);
    window.resize(1400, 1000);
    bool read = window.showRecent();
    window.show();
    QCoreApplication::processEvents();
    double openMs = Since(start);

    window.findChild<QLineEdit*>("pn")->setText(pn);
    window.findChild<QComboBox*>("instrument")->setCurrentIndex(0);
    window.findChild<QLineEdit*>("from")->clear();
    double filterMs = Redraw(window, read);
    if (argc > 3)
        window.grab().save(argv[3]);

    window.findChild<QLineEdit*>("pn")->clear();
    auto* chartPn = window.findChild<QComboBox*>("chartPn");
    double millionMs = Redraw(window, read);
    start = std::chrono::steady_clock::now();
    chartPn->setCurrentIndex(chartPn->count() - 1);
    emit chartPn->activated(chartPn->count() - 1);
    window.repaint();
    QCoreApplication::processEvents();
    double pooledMs = Since(start);
    if (!read) {
        std::fputs("trend_bench: the archive cannot be read\n", stderr);
        return 1;
    }
    std::printf(
        "trend_open_ms=%.1f\ntrend_filter_ms=%.1f\ntrend_million_ms=%.1f\n"
        "trend_million_pooled_ms=%.1f\ntrend_peak_mb=%.1f\n",
        openMs, filterMs, millionMs, pooledMs, ProcStatusKb("VmHWM") / 1024.0);
    return 0;
}
