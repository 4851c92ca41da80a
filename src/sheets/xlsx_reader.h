#pragma once

#include "sheets/sheet_rows.h"

namespace qm4250 {

// Every worksheet of an .xlsx workbook in the open regular file `fd`, in the workbook's order,
// each announced by its name and then read row by row into `rows` (XlsxWorksheet), each zip part
// inflated and parsed a piece at a time. Chart sheets, macro sheets and dialog sheets are passed
// over.
SheetReadResult ReadXlsxRows(int fd, SheetRows& rows);

}  // namespace qm4250
