#pragma once

#include <string>
#include <vector>

#include "archive/archive_sheet_file.h"

namespace qm4250 {

// One skipped row: "row 4: the time/date "Feb 30/04 00:00:00" is not one the instrument writes",
// the sheet named first in a workbook.
std::string SkippedRowText(const SkippedRow& skipped);

// What importing a file came to, for a file that was read: its summary line ("h.csv: 497 tests
// read, 497 new, 0 rows skipped", the name escaped), then a line for each skipped row kept and
// for each sheet passed over, and one line counting the skipped rows not shown.
std::vector<std::string> ImportReport(const std::string& file, const SheetArchiveResult& imported);

}  // namespace qm4250
