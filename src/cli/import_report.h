#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/file_import.h"

namespace qm4250 {

// A cell as a message shows it: on one line, its first 40 characters, every character a
// terminal could take for a command (control characters, quotes, backslashes) escaped, and "…"
// when there was more.
std::string ShownCell(std::string_view utf8);

// One skipped row: "row 4: the time/date "Feb 30/04 00:00:00" is not one the instrument writes",
// the sheet named first in a workbook.
std::string SkippedRowText(const SkippedRow& skipped);

// What importing a file came to, for a file that was read: its summary line ("h.csv: 497 tests
// read, 497 new, 0 rows skipped"), then a line for each skipped row kept and for each sheet passed
// over, and one line counting the skipped rows not shown.
std::vector<std::string> ImportReport(const std::string& file, const SheetImportResult& imported);

}  // namespace qm4250
