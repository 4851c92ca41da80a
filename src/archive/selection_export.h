#pragma once

#include <cstddef>
#include <string>
#include <variant>

#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "export/save_history_workbook.h"
#include "result/result.h"

namespace qm4250 {

// Why an export of the archive's tests wrote nothing: the archive could not be read, a test no
// workbook can hold, or why the file could not be written (NothingToWrite: no tests selected).
using ExportFailure = std::variant<ArchiveError, UnwritableTest, Failure>;

// The failure of a save, as an export's.
ExportFailure ExportFailureOf(const SaveFailure& failure);

// The tests the filter selects, to `path` in the format its extension names, laid out as a
// saved upload: one worksheet for each instrument (in a .csv, each after its identification row).
// Gives the number of tests written.
Result<size_t, ExportFailure> ExportSelection(const ArchiveLocation& location,
                                              const TestFilter& filter, const std::string& path);

}  // namespace qm4250
