// The real window, offscreen, uploading a generated history from qm4250-sim over a
// pseudo-terminal: each reply's turnaround from the simulator's log, the total time against the
// line rate, and the window's resident memory once the history is in. Prints key=value lines.
//
// Usage: upload_bench --records N --baud B
#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <numeric>
#include <string>

#include "adapters/link_wiring.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "proc_status.h"
#include "sim_log.h"
#include "stats.h"
#include "window/main_window.h"
#include "window/settings_file.h"

using namespace qm4250;

namespace {

constexpr int kBitsPerByte = 10;
constexpr std::size_t kTrendWindow = 1000;

int Fail(const char* why) {
    std::fprintf(stderr, "upload_bench: %s\n", why);
    return 2;
}

QString Argument(const QStringList& args, const QString& name, const QString& fallback) {
    qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

void PrintFigures(const SimLogSummary& log, int baud) {
    const std::vector<double>& t = log.turnaroundsUs;
    std::printf("frames=%zu\n", t.size());
    std::printf("turnaround_median_us=%.1f\n", Quantile(t, 0.5));
    std::printf("turnaround_p99_us=%.1f\n", Quantile(t, 0.99));
    std::printf("turnaround_max_us=%.1f\n", Quantile(t, 1.0));
    // The identification record is left out of the first thousand.
    std::printf("turnaround_first1000_median_us=%.1f\n", MedianOfRange(t, 1, kTrendWindow));
    std::printf("turnaround_last1000_median_us=%.1f\n",
                MedianOfRange(t, t.size() - std::min(t.size(), kTrendWindow), kTrendWindow));
    double totalMs = static_cast<double>(log.lastRxUs - log.firstRxUs) / 1000.0;
    double programMs = std::accumulate(t.begin(), t.end(), 0.0) / 1000.0;
    std::printf("total_ms=%.1f\n", totalMs);
    std::printf("program_ms=%.1f\n", programMs);
    std::printf("bytes=%lld\n", static_cast<long long>(log.txBytes + log.rxBytes));
    if (baud > 0)
        std::printf("line_limit_ms=%.1f\n",
                    static_cast<double>(log.txBytes + log.rxBytes) * kBitsPerByte * 1000.0 / baud);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    int records = Argument(args, "--records", "32767").toInt();
    int baud = Argument(args, "--baud", "0").toInt();

    QTemporaryDir folder;
    QString logPath = folder.filePath("sim.log");
    QProcess simulator;
    simulator.start(QM4250_SIM_EXECUTABLE, {"--baud", QString::number(baud), "--records",
                                            QString::number(records), "--log", logPath});
    if (!simulator.waitForReadyRead(5000))
        return Fail("the simulator printed no device");
    qputenv("QM4250_COMM1", simulator.readLine().trimmed());

    QtSerialPort port;
    QtResponseTimer timer;
    MainWindow window(port, timer, SettingsPath(folder.filePath("app").toStdString()));
    WireLink(port, timer, window.controller(), &window);
    // Connected after the window, so it sees the port the response timeout has just closed.
    QObject::connect(&timer, &QtResponseTimer::tick, &app, [&] {
        if (!port.isOpen())
            app.quit();
    });
    // A stalled upload must not hang the benchmark run.
    int limitMs = 30000 + records * (baud > 0 ? 100 : 5);
    QTimer::singleShot(limitMs, &app, [&] { app.exit(1); });
    window.show();
    QTimer::singleShot(0, &window, [&] { window.controller().requestClicked(); });
    if (app.exec() != 0)
        return Fail("the upload did not end in time");
    if (window.controller().state().recordIndex() != records)
        return Fail("the upload ended early");

    std::printf("records=%d\n", records);
    std::printf("list_lines=%d\n", window.controls().List1->count());
    std::printf("window_rss_mb=%.1f\n", ProcStatusKb("VmRSS") / 1024.0);
    simulator.terminate();
    simulator.waitForFinished(5000);
    SimLogSummary log;
    if (!ReadSimLog(logPath.toStdString(), log) || log.turnaroundsUs.empty())
        return Fail("the simulator's log holds no replies");
    PrintFigures(log, baud);
}
