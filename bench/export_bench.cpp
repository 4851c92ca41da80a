// Time and peak memory of saving a 32,767-record history in each file format. Each format runs
// in its own child process, so that one format's peak does not hide another's.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/save_history_workbook.h"

namespace {

constexpr int kTestRecords = 32767;

// Records shaped like a real upload; every tenth reports a power-up.
WindowState History() {
    WindowState state;
    state.Records.push_back("SN = 104729;Model: Norvik");
    for (int k = 1; k <= kTestRecords; ++k) {
        std::string n = std::to_string(k);
        std::string relay = k % 10 == 0 ? "5" : "4";
        state.Records.push_back(n + ";PN-" + std::to_string(k % 37) + ";C" + std::to_string(k % 5) +
                                ";0." + std::to_string(k % 997) +
                                ";;Mar 04/21 10:" + std::to_string(10 + k % 50) + ":" +
                                std::to_string(10 + k % 50) + ";" + relay);
    }
    state.RecordIndex = kTestRecords;
    return state;
}

// A /proc/self/status value in kB, such as VmRSS or VmHWM.
long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

void MeasureInChild(const WindowState& state, const std::string& path) {
    long before = StatusKb("VmRSS");
    auto start = std::chrono::steady_clock::now();
    std::string outcome = SaveHistoryWorkbook(state, path);
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    long peak = StatusKb("VmHWM");
    std::printf("%-6s %10.1f %14.1f %14.1f %12.1f  %s\n",
                std::filesystem::path(path).extension().c_str(), elapsed.count(), peak / 1024.0,
                (peak - before) / 1024.0, std::filesystem::file_size(path) / 1048576.0,
                outcome.c_str());
}

}  // namespace

int main() {
    WindowState state = History();
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "export_bench";
    std::filesystem::create_directories(dir);
    std::printf("%d test records\n", kTestRecords);
    std::printf("%-6s %10s %14s %14s %12s\n", "format", "time ms", "peak RSS MB", "growth MB",
                "file MB");
    std::fflush(stdout);
    for (const char* extension : {".xls", ".xlsx", ".csv"}) {
        pid_t child = fork();
        if (child == 0) {
            MeasureInChild(state, (dir / (std::string("history") + extension)).string());
            std::fflush(stdout);
            _exit(0);
        }
        waitpid(child, nullptr, 0);
    }
    std::filesystem::remove_all(dir);
}
