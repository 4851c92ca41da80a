#pragma once

#include "archive/sheet_rows.h"

namespace qm4250 {

// The first worksheet of an Excel 97-2003 workbook (BIFF8 in a compound file), read from the
// open regular file `fd`, row by row into `rows`: text, number, boolean and error cells of
// columns A to I. Memory and time stay bounded whatever the file holds.
SheetReadResult ReadXlsRows(int fd, SheetRows& rows);

}  // namespace qm4250
