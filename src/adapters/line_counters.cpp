#include "adapters/line_counters.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace qm4250 {

std::optional<LineCounters> KernelLineCounters::read(int fd) {
    serial_icounter_struct counts{};
    int result;
    do {
        result = ioctl(fd, TIOCGICOUNT, &counts);
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        return std::nullopt;
    return LineCounters{static_cast<uint32_t>(counts.brk), static_cast<uint32_t>(counts.frame),
                        static_cast<uint32_t>(counts.parity), static_cast<uint32_t>(counts.overrun),
                        static_cast<uint32_t>(counts.buf_overrun)};
}

// A count that wrapped around has still changed: the unsigned difference is not zero.
std::vector<LineError> CountedLineErrors(const LineCounters& before, const LineCounters& after) {
    std::vector<LineError> errors;
    auto add = [&](uint32_t LineCounters::*count, LineError error) {
        if (after.*count - before.*count != 0)
            errors.push_back(error);
    };
    add(&LineCounters::breaks, LineError::Break);
    add(&LineCounters::framing, LineError::Framing);
    add(&LineCounters::parity, LineError::Parity);
    add(&LineCounters::overrun, LineError::Overrun);
    add(&LineCounters::bufferOverrun, LineError::RxOverflow);
    return errors;
}

}  // namespace qm4250
