#include "archive/archive_retry.h"

#include <algorithm>
#include <thread>

namespace qm4250 {

namespace {

constexpr std::chrono::milliseconds kLongestPause{8000};

}  // namespace

ArchiveRetry::ArchiveRetry(std::chrono::milliseconds patience, ArchiveWaiting waiting, Clock clock,
                           Sleep sleep)
    : waiting_(std::move(waiting)),
      clock_(std::move(clock)),
      sleep_(std::move(sleep)),
      deadline_(clock_() + patience) {}

bool ArchiveRetry::again(const ArchiveError& failure) {
    if (!failure.passing)
        return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - clock_());
    if (left <= std::chrono::milliseconds::zero())
        return false;
    if (waiting_)
        waiting_(failure);
    sleep_(std::min(pause_, left));
    pause_ = std::min(pause_ * 2, kLongestPause);
    return true;
}

void ArchiveRetry::SleepFor(std::chrono::milliseconds pause) {
    std::this_thread::sleep_for(pause);
}

}  // namespace qm4250
