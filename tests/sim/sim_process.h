#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The qm4250-sim executable run as a child process, as an end-to-end test would run it.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line of standard output: the device path (or the first line of --help).
    const std::string& firstLine() const { return firstLine_; }

    // The exit status, or nullopt if it still runs after `limit`.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);

  private:
    int pid_ = -1;
    int stdout_ = -1;
    std::string firstLine_;
};

// The program's end of the line: the device the simulator printed, opened as a serial port.
class PortEnd {
  public:
    explicit PortEnd(const std::string& path);
    ~PortEnd();
    PortEnd(const PortEnd&) = delete;
    PortEnd& operator=(const PortEnd&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void Write(const std::string& bytes);

    // Everything up to and including the next ETX; empty if none came in time.
    std::string ReadThroughEtx();

    // True once the far end is gone (hang-up or end of file) within the time limit.
    bool SeesHangUp();

  private:
    int fd_ = -1;
    std::string pending_;
};

// Waits until the text appears in the file, for at most a generous limit.
bool WaitForFileText(const std::string& path, const std::string& text);
