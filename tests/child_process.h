#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// Runs `action` in a child process and returns the text it produced, so that whatever the child
// changes about itself (a file size limit, its user) ends with it.
inline std::string InAChildProcess(const std::function<std::string()>& action) {
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        std::string outcome = action();
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

// What a child answers when it could not become an ordinary user.
inline const std::string kCannotDropRoot = "cannot drop root";

// Permission bits do not stop root: a test run as root plays the operator as the user nobody.
// False when that is not possible.
inline bool BecomeAnOrdinaryUser() {
    if (geteuid() != 0)
        return true;
    constexpr uid_t kNobody = 65534;
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}
