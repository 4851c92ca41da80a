#pragma once

#include <variant>

#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "protocol/history.h"

namespace qm4250 {

// The selected tests, oldest first, as a history: with the identification of their instrument
// when they all come from one. The archive is only read; any error, even after some tests were
// read, fails the whole selection.
std::variant<History, ArchiveError> SelectTests(const ArchiveLocation& location,
                                                const TestFilter& filter);

}  // namespace qm4250
