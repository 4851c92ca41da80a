#pragma once

#include <cstdint>

#include "archive/sheet_rows.h"
#include "archive/xls/biff_records.h"
#include "archive/xls/shared_string_table.h"

namespace qm4250 {

// Reads the worksheet substream whose BOF record is at stream position `start`, handing each row
// that holds a cell in columns A to I on to `rows` as the row's cells end.
SheetReadResult ReadWorksheetRows(RecordReader& records, uint64_t start,
                                  const SharedStringTable& strings, SheetRows& rows);

}  // namespace qm4250
