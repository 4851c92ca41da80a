#include <gtest/gtest.h>
#include <stdlib.h>

#include "e2e_rig.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qm4250 {

namespace {

constexpr int kIdleWaitMs = 15000;  // only there to keep a broken build from hanging

std::string RelayField(int k) {
    return k % 10 == 0 ? "1" : "28";
}

}  // namespace

EndToEndTest::EndToEndTest() {
    char pattern[] = "/tmp/e2e-XXXXXX";
    folder_ = mkdtemp(pattern);
    window_ = std::make_unique<MainWindow>(port_, timer_, SettingsPath(folder_ + "/app"));
    WireLink(port_, timer_, window_->controller(), window_.get());
}

EndToEndTest::~EndToEndTest() {
    window_.reset();
    simulator_.reset();
    unsetenv("QM4250_COMM1");
    std::filesystem::remove_all(folder_);
}

void EndToEndTest::useArchive(const std::string& sqlitePath) {
    window_.reset();
    archive_ = std::make_unique<ArchiveWriter>([this] { return port_.device(); },
                                               QString::fromStdString(sqlitePath));
    window_ = std::make_unique<MainWindow>(port_, timer_, SettingsPath(folder_ + "/app"),
                                           PortDevices{}, archive_.get());
    WireLink(port_, timer_, window_->controller(), window_.get());
}

void EndToEndTest::startSimulator(std::vector<std::string> args) {
    args.insert(args.begin(), {"--baud", "0", "--log", logPath()});
    simulator_ = std::make_unique<SimProcess>(args);
    ASSERT_EQ(simulator_->firstLine().rfind("/dev/", 0), 0u) << simulator_->firstLine();
    setenv("QM4250_COMM1", simulator_->firstLine().c_str(), 1);
}

std::string EndToEndTest::writeReplayFile(int count) {
    std::string path = folder_ + "/replay.txt";
    std::ofstream file(path);
    for (int k = 1; k <= count; ++k)
        file << "1" << k << "," << ReplayedPn(k) << ",C" << k << ",0.5,N,0," << RelayField(k)
             << "\n";
    return path;
}

bool EndToEndTest::waitUntilIdle() {
    return QTest::qWaitFor(
        [&] {
            return find<QPushButton>("cmdSave")->isEnabled() && !port_.isOpen() && !archiving();
        },
        kIdleWaitMs);
}

bool EndToEndTest::archiving() const {
    return find<QLabel>("Panel2")->text().endsWith(QString::fromUtf8("archiving\u2026"));
}

std::string EndToEndTest::repliesReceived() const {
    std::ifstream log(logPath());
    std::string replies, line;
    while (std::getline(log, line)) {
        std::istringstream words(line);
        std::string time, direction, byte;
        words >> time >> direction;
        if (direction != "rx")
            continue;
        while (words >> byte) {
            if (byte == "06")
                replies += 'A';
            if (byte == "18")
                replies += 'C';
        }
    }
    return replies;
}

std::string ReplayedPn(int k) {
    return k == 7 ? "P;X" : "PN" + std::to_string(k % 7);
}

std::string ReplayedRow(int k) {
    return std::to_string(k) + ";" + ReplayedPn(k) + ";C" + std::to_string(k) +
           ";0.5;;Jan 01/04 00:00:00;" + RelayField(k);
}

std::vector<std::string> ReplayedRows(int first, int last, std::vector<int> missing) {
    std::vector<std::string> rows;
    for (int k = first; k <= last; ++k)
        if (std::find(missing.begin(), missing.end(), k) == missing.end())
            rows.push_back(ReplayedRow(k));
    return rows;
}

}  // namespace qm4250
