#pragma once

#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "protocol/history.h"
#include "result/result.h"

namespace qm4250 {

// The selected tests as one history for each instrument they come from, in the order of the
// instruments' serials: each with its instrument's identification and its tests oldest first.
// The archive is only read; any error, even after some tests were read, fails the whole
// selection.
Result<std::vector<History>, ArchiveError> SelectTests(const ArchiveLocation& location,
                                                       const TestFilter& filter);

// How many tests the histories hold together.
size_t TestCount(const std::vector<History>& histories);

}  // namespace qm4250
