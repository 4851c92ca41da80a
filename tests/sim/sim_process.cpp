#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace {

// Only there to keep a broken simulator from hanging the suite.
constexpr auto kLimit = std::chrono::seconds(10);

bool WaitReadable(int fd, std::chrono::steady_clock::time_point deadline, short& revents) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    revents = p.revents;
    return ready > 0;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv{const_cast<char*>(QM4250_SIM_EXECUTABLE)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(QM4250_SIM_EXECUTABLE, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    stdout_ = out[0];
    auto deadline = std::chrono::steady_clock::now() + kLimit;
    char c = 0;
    short revents = 0;
    while (WaitReadable(stdout_, deadline, revents) && ::read(stdout_, &c, 1) == 1 && c != '\n')
        firstLine_ += c;
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !WaitForExit(std::chrono::milliseconds(0))) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0)
        ::close(stdout_);
}

std::optional<int> SimProcess::WaitForExit(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

PortEnd::PortEnd(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

PortEnd::~PortEnd() {
    if (fd_ >= 0)
        ::close(fd_);
}

void PortEnd::Write(const std::string& bytes) {
    [[maybe_unused]] ssize_t written = ::write(fd_, bytes.data(), bytes.size());
}

std::string PortEnd::ReadThroughEtx() {
    auto deadline = std::chrono::steady_clock::now() + kLimit;
    short revents = 0;
    while (pending_.find('\x03') == std::string::npos) {
        char buffer[256];
        if (!WaitReadable(fd_, deadline, revents))
            return {};
        ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count <= 0)
            return {};
        pending_.append(buffer, static_cast<std::size_t>(count));
    }
    std::size_t end = pending_.find('\x03') + 1;
    std::string frame = pending_.substr(0, end);
    pending_.erase(0, end);
    return frame;
}

bool PortEnd::SeesHangUp() {
    auto deadline = std::chrono::steady_clock::now() + kLimit;
    short revents = 0;
    while (WaitReadable(fd_, deadline, revents)) {
        char buffer[256];
        if ((revents & POLLHUP) || ::read(fd_, buffer, sizeof buffer) <= 0)
            return true;
    }
    return false;
}

bool WaitForFileText(const std::string& path, const std::string& text) {
    auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(path);
        std::stringstream content;
        content << file.rdbuf();
        if (content.str().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}
