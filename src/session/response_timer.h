#pragma once

namespace qm4250 {

// The 500 ms response timer. It ticks once per start; starting it while it runs begins a new
// full interval.
class ResponseTimer {
  public:
    virtual ~ResponseTimer() = default;

    virtual void start() = 0;
    virtual void stop() = 0;
};

}  // namespace qm4250
