#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "export/unwritable_test.h"

namespace qm4250 {

// What writing a selection to a file came to.
struct SelectionExport {
    std::optional<ArchiveError> notRead;       // the archive could not be read: nothing was written
    bool saved = false;                        // else whether the file was written whole
    std::optional<UnwritableTest> unwritable;  // when not, the test a workbook cannot hold
    size_t tests = 0;                          // how many the selection holds
};

// The tests the filter selects, to `path` in the format its extension names, laid out as a
// saved upload: one worksheet for each instrument (in a .csv, each after its identification row).
SelectionExport ExportSelection(const ArchiveLocation& location, const TestFilter& filter,
                                const std::string& path);

}  // namespace qm4250
