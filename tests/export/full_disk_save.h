#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

#include "app/window_state.h"
#include "export/save_history_workbook.h"

// Saves as on a disk that fills up once `limit` bytes are in a file: the file size limit stops
// every writer, root included. A child process saves, so the limit does not outlive the save.
// Returns the status text the save gave.
inline std::string SaveOnAFullDisk(const WindowState& state, const std::string& target,
                                   rlim_t limit) {
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        std::string outcome = SaveHistoryWorkbook(state, target);
        (void)!write(fds[1], outcome.data(), outcome.size());
        _exit(0);
    }
    close(fds[1]);
    std::string outcome;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return outcome;
}

inline std::string FileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
