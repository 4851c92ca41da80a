#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/new_tests_verdict.h"

namespace qm4250 {

// The upload's progress as every front end words it: "Records: N" while an upload runs and after
// it ends, N being the test records received so far; "Records: N of M" when the operator asked
// for M records; either followed by " (K unreadable)" once K records could not be decoded.
std::string RecordCounterText(int32_t testRecords, int32_t unreadable,
                              std::string_view requestedCount);

// What the archive says of an upload's new tests, as the record counter and the command line's
// last line add it: "A12: 2 beyond UCL, 1 beyond USL; B7: 3 breaking WE 4". Empty where nothing
// is beyond.
std::string VerdictText(const std::vector<PartVerdict>& verdicts);

}  // namespace qm4250
