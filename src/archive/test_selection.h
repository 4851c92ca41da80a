#pragma once

#include <QString>
#include <optional>

#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "protocol/history.h"

namespace qm4250 {

// The selected tests, oldest first, as a history: with the identification of their instrument
// when they all come from one. None, with the reason in `error`, when the archive cannot be read.
std::optional<History> SelectTests(const ArchiveLocation& location, const TestFilter& filter,
                                   QString& error);

}  // namespace qm4250
