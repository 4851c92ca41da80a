// Start-up to the window shown: runs startup_probe (the program's own start-up, offscreen)
// several times and times each run from the spawn to its first paint. Prints key=value lines.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "stats.h"

extern char** environ;

namespace {

constexpr int kRuns = 11;

// Milliseconds from the spawn to the probe's line, or -1 when it never says it is shown.
double TimeOneStart(const char* probe) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(probe), nullptr};
    auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    int spawned = posix_spawn(&child, probe, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double elapsedMs = -1;
    char first = 0;
    if (spawned == 0 && read(out[0], &first, 1) == 1)
        elapsedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    close(out[0]);
    if (spawned == 0)
        waitpid(child, nullptr, 0);
    return elapsedMs;
}

}  // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        double ms = TimeOneStart(QM4250_STARTUP_PROBE);
        if (ms < 0) {
            std::fprintf(stderr, "startup_bench: the probe never showed its window\n");
            return 2;
        }
        times.push_back(ms);
    }
    // The first run also fills the page and font caches; the median is the figure.
    std::printf("startup_first_ms=%.1f\n", times.front());
    std::printf("startup_median_ms=%.1f\n", Quantile(times, 0.5));
    std::printf("startup_max_ms=%.1f\n", Quantile(times, 1.0));
}
