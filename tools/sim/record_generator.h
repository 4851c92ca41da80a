#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

inline constexpr std::int64_t kLatestTimeStamp = 2'147'483'647;  // 2072-01-19, 32-bit signed

// A history of `count` plausible test record bodies ("1" + seven comma-separated fields), the
// same for the same seed. Time stamps rise from record to record across the whole range the
// instrument's clock can hold, so a few hundred records cover every year from 2004 to 2072.
std::vector<std::string> GenerateRecords(int count, std::uint64_t seed);

}  // namespace sim
