#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

// A pseudo-terminal pair: the program opens the slave as its serial port, the test plays the
// instrument on the master.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        int slave = -1;
        char name[256];
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        termios settings{};
        tcgetattr(slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
        close(slave);
        slavePath_ = name;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }

    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
        }
    }

    // What the program has written so far, waiting up to `timeoutMs` for the first byte.
    std::string receive(int timeoutMs = 0) {
        std::string bytes;
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0)
            return bytes;
        char buffer[4096];
        for (ssize_t n; (n = ::read(master_, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, n);
        return bytes;
    }

    // Like a pulled cable: the far end is gone.
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};
