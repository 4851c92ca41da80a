#pragma once

#include "archive/sheet_rows.h"

namespace qm4250 {

// The first worksheet (xl/worksheets/sheet1.xml) of an .xlsx workbook in the open regular file
// `fd`, row by row into `rows`, each zip part inflated and parsed a piece at a time. Row and
// column numbers are checked against the format's limits (1,048,576 rows, 16,384 columns); a row
// or cell without its "r" takes the next position.
SheetReadResult ReadXlsxRows(int fd, SheetRows& rows);

}  // namespace qm4250
