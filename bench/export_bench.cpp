// Time and peak memory of saving a 32,767-record history in each file format. Each format runs
// in its own child process, so that one format's peak does not hide another's. Prints key=value
// lines, keyed by the format.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "export/save_history_workbook.h"
#include "proc_status.h"

using namespace qm4250;

namespace {

constexpr int kTestRecords = 32767;

// Records shaped like a real upload; every tenth reports a power-up.
History SampleHistory() {
    History history;
    history.identification = Identification{"104729", "S", "Norvik"};
    for (int k = 1; k <= kTestRecords; ++k) {
        int16_t relays = k % 10 == 0 ? 5 : 4;
        std::string seq = std::to_string(k);
        std::string pn = "PN-";
        pn += std::to_string(k % 37);
        std::string custCode = "C";
        custCode += std::to_string(k % 5);
        std::string leak = "0.";
        leak += std::to_string(k % 997);
        std::string minute = std::to_string(10 + k % 50);
        std::string timeDate = "Mar 04/21 10:";
        timeDate.append(minute).append(":").append(minute);
        std::string relayField = std::to_string(relays);
        history.records.emplace_back(
            TestRecord::Fields{seq, pn, custCode, leak, "N", 0, timeDate, relayField, relays});
    }
    return history;
}

// False when the save failed.
bool MeasureInChild(const History& history, const std::string& path) {
    auto start = std::chrono::steady_clock::now();
    SaveResult result = SaveHistory(history, path);
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    if (!result) {
        std::fprintf(stderr, "export_bench: %s: not saved\n", path.c_str());
        return false;
    }
    std::string format = std::filesystem::path(path).extension().string().substr(1);
    std::printf("%s_ms=%.1f\n", format.c_str(), elapsed.count());
    std::printf("%s_peak_mb=%.1f\n", format.c_str(), ProcStatusKb("VmHWM") / 1024.0);
    std::printf("%s_file_mb=%.2f\n", format.c_str(),
                static_cast<double>(std::filesystem::file_size(path)) / 1048576.0);
    return true;
}

}  // namespace

int main() {
    History history = SampleHistory();
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "export_bench";
    std::filesystem::create_directories(dir);
    std::printf("export_records=%d\n", kTestRecords);
    std::fflush(stdout);
    int failures = 0;
    for (const char* extension : {".xls", ".xlsx", ".csv"}) {
        pid_t child = fork();
        if (child == 0) {
            bool saved =
                MeasureInChild(history, (dir / (std::string("history") + extension)).string());
            std::fflush(stdout);
            _exit(saved ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        failures += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    }
    std::filesystem::remove_all(dir);
    return failures == 0 ? 0 : 2;
}
