#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "session/session_events.h"

namespace qm4250 {

// The error counts a serial driver keeps for its port since the system started. They only ever
// grow, wrapping around at 2^32.
struct LineCounters {
    uint32_t breaks = 0;
    uint32_t framing = 0;
    uint32_t parity = 0;
    uint32_t overrun = 0;
    uint32_t bufferOverrun = 0;
};

// Where the counts come from; tests feed their own.
class LineCounterSource {
  public:
    virtual ~LineCounterSource() = default;
    // The counts of the port open on this descriptor; none where the driver keeps none (a
    // pseudo-terminal) or cannot tell.
    virtual std::optional<LineCounters> read(int fd) = 0;
};

// The kernel's counts, through the TIOCGICOUNT ioctl.
class KernelLineCounters : public LineCounterSource {
  public:
    std::optional<LineCounters> read(int fd) override;
};

// One line error for each kind whose count changed, in this fixed order: break, framing, parity,
// overrun, buffer overrun (the last, since it throws away what was received).
std::vector<LineError> CountedLineErrors(const LineCounters& before, const LineCounters& after);

}  // namespace qm4250
