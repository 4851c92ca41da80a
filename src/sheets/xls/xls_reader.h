#pragma once

#include "sheets/sheet_rows.h"

namespace qm4250 {

// Every worksheet of an Excel 97-2003 workbook (BIFF8 in a compound file), read from the open
// regular file `fd` in the workbook's order, each announced by its name and then read row by row
// into `rows`: text, number, date, boolean and error cells of columns A to I. Chart sheets and
// macro sheets are passed over. Each worksheet must begin after the one before it ends, as Excel
// writes them, so no part of the stream is read twice; memory and time stay bounded whatever the
// file holds.
SheetReadResult ReadXlsRows(int fd, SheetRows& rows);

}  // namespace qm4250
