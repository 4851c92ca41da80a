#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument_clock.h"
#include "test_times.h"

namespace sim {

// A history of `count` plausible test record bodies ("1" + seven comma-separated fields), the
// same for the same seed and timing, made at the times `TestTimes` gives. The timing must fit
// the clock (`TimingRefusal`).
std::vector<std::string> GenerateRecords(int count, std::uint64_t seed, const Timing& timing);

}  // namespace sim
