#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "Records: N" while an upload runs and after it ends, N being the test records received so
// far; "Records: N of M" when the operator asked for M records.
std::string RecordCounterText(int32_t recordIndex, std::string_view requestedCount);
