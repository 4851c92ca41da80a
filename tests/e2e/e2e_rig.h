#pragma once

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "adapters/link_wiring.h"
#include "adapters/qt_response_timer.h"
#include "adapters/qt_serial_port.h"
#include "history_rows.h"
#include "sim_process.h"
#include "window/archive_writer.h"
#include "window/main_window.h"
#include "window/settings_file.h"

namespace qm4250 {

// The real window on the real serial port, with qm4250-sim playing the instrument at the far
// end of a pseudo-terminal mapped to COMM 1.
class EndToEndTest : public testing::Test {
  protected:
    EndToEndTest();
    ~EndToEndTest() override;

    // Rebuilds the window so that it archives every upload into this SQLite file.
    void useArchive(const std::string& sqlitePath);
    // Starts the simulator with `args`, unpaced unless they say otherwise, logging to logPath().
    void startSimulator(std::vector<std::string> args);
    // A replay file of `count` test records whose Seq# is their number and PN ReplayedPn; relay 1
    // (power-up) on every tenth, 28 on the others.
    std::string writeReplayFile(int count);
    std::string logPath() const { return folder_ + "/sim.log"; }
    std::string folder() const { return folder_; }

    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    const ExchangeState& state() const { return window_->controller().state(); }
    QString statusText() const { return find<QLabel>("Panel1")->text(); }

    // The kept test records as rows of text, in arrival order.
    std::vector<std::string> keptRows() const { return TestRows(*state().history()); }

    // Waits for the response timeout to end the exchange and for the archive write that follows;
    // false if they never end.
    bool waitUntilIdle();
    // Whether the record counter says the upload is being archived.
    bool archiving() const;
    // The reply bytes (ACK, CAN) the simulator received, in order, as 'A' and 'C'.
    std::string repliesReceived() const;

    std::string folder_;
    std::unique_ptr<SimProcess> simulator_;
    QtSerialPort port_;
    QtResponseTimer timer_;
    std::unique_ptr<ArchiveWriter> archive_;
    std::unique_ptr<MainWindow> window_;
};

// The PN of replayed test record k: record 7's holds ";", which must come through whole.
std::string ReplayedPn(int k);
// The row a replayed test record k is kept as.
std::string ReplayedRow(int k);
// The rows of replayed test records first to last, but for those in `missing`.
std::vector<std::string> ReplayedRows(int first, int last, std::vector<int> missing = {});

}  // namespace qm4250
