// The cost of one List1 append, with the event processing that follows it in an upload, at the
// start and at the end of a 32,767-record history. Prints key=value lines.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <vector>

#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "stats.h"
#include "window/main_window.h"

using namespace qm4250;

namespace {

constexpr int kTestRecords = 32767;
constexpr std::size_t kWindow = 1000;

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtSerialPort port;
    QtResponseTimer timer;
    MainWindow window(port, timer, "/nonexistent/");
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> appendUs;
    appendUs.reserve(kTestRecords);
    char line[96];
    for (int k = 1; k <= kTestRecords; ++k) {
        std::snprintf(line, sizeof line, "%-6d%-4s%-10s%8s%4s%20s   %-5s%-5s%-3s", k, "P1", "CUST",
                      "0.1234", "", "Mar 04/21 10:11:12", "1", "0", "0");
        auto start = std::chrono::steady_clock::now();
        window.addListLine(line);
        if (k % 10 == 0)
            window.addListLine("QM4250 Power UP");
        QCoreApplication::processEvents();
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        appendUs.push_back(took.count());
    }
    std::printf("append_first1000_median_us=%.1f\n", MedianOfRange(appendUs, 0, kWindow));
    std::printf("append_last1000_median_us=%.1f\n",
                MedianOfRange(appendUs, appendUs.size() - kWindow, kWindow));
}
