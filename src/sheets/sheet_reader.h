#pragma once

#include <string>

#include "sheets/sheet_rows.h"

namespace qm4250 {

// Every worksheet of the file at `path`, in the format its extension names (.xlsx, .csv, and
// Excel 97-2003 for .xls and any other name), row by row into `rows`. Only a regular file is
// read; a FIFO, a device or a folder is refused by what it is.
SheetReadResult ReadSheetRows(const std::string& path, SheetRows& rows);

}  // namespace qm4250
