#pragma once

#include <chrono>
#include <functional>

#include "archive/archive_error.h"

namespace qm4250 {

// Hears a failure that may pass, each time before the write is tried again.
using ArchiveWaiting = std::function<void(const ArchiveError& reason)>;

// Paces the tries of a write whose failure may pass: a quarter of a second at first, twice as long
// each time up to 8 s, the last try at the end of the patience. A failure that does not pass ends
// the tries at once.
class ArchiveRetry {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    ArchiveRetry(std::chrono::milliseconds patience, ArchiveWaiting waiting,
                 Clock clock = std::chrono::steady_clock::now, Sleep sleep = SleepFor);

    // After a failed try: true once the pause before the next is over; false when the failure
    // does not pass or the patience is spent.
    bool again(const ArchiveError& failure);

  private:
    static void SleepFor(std::chrono::milliseconds pause);

    ArchiveWaiting waiting_;
    Clock clock_;
    Sleep sleep_;
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::milliseconds pause_{250};
};

}  // namespace qm4250
