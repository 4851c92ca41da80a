#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "byte_log.h"
#include "history.h"
#include "instrument.h"
#include "options.h"
#include "pty_link.h"

namespace sim {

// The instrument on a pseudo-terminal: reads what the program sends, carries out the
// instrument's answers with the line's pacing and pauses, and copes with the program opening
// and closing the port as often as it likes.
class Simulator {
  public:
    Simulator(const Options& options, History history);  // throws std::runtime_error
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The path the program opens as its serial port.
    const std::string& devicePath() const { return link_.devicePath(); }

    // Runs until Stop(), a hang-up, or with exitAfterUpload the port closing after an upload.
    void Run();

    // Safe from another thread and from a signal handler.
    void Stop();

  private:
    using Clock = std::chrono::steady_clock;

    int PollTimeout() const;
    void ReadFromProgram();
    void CheckProgramBack();
    void OnProgramClosed();
    bool CarryOutDueActions();
    void Write(std::string_view bytes);
    void WritePaced(std::string_view bytes);

    Options options_;
    PtyLink link_;
    std::unique_ptr<DeviceLink> deviceLink_;
    ByteLog log_;
    Instrument instrument_;
    std::deque<Action> pending_;
    Clock::time_point waitUntil_ = Clock::now();
    Clock::time_point nextByteDue_ = Clock::now();
    bool programAway_ = true;
    bool finished_ = false;
    int stopPipe_[2] = {-1, -1};
};

}  // namespace sim
