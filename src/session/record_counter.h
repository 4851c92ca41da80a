#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "Records: N" while an upload runs and after it ends, N being the test records received so
// far; "Records: N of M" when the operator asked for M records; either followed by
// " (K unreadable)" once K records of the upload could not be decoded.
std::string RecordCounterText(int32_t recordIndex, int32_t unreadable,
                              std::string_view requestedCount);
