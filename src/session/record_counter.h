#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm4250 {

// The upload's progress as every front end words it: "Records: N" while an upload runs and after
// it ends, N being the test records received so far; "Records: N of M" when the operator asked
// for M records; either followed by " (K unreadable)" once K records could not be decoded.
std::string RecordCounterText(int32_t testRecords, int32_t unreadable,
                              std::string_view requestedCount);

}  // namespace qm4250
