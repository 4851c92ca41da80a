#pragma once

#include <cstdint>

#include "sheets/sheet_rows.h"
#include "sheets/xls/biff_records.h"
#include "sheets/xls/workbook_globals_reader.h"

namespace qm4250 {

// Reads the worksheet substream whose BOF record is at stream position `start`, handing each row
// that holds a cell in columns A to I on to `rows` as the row's cells end; a number in a cell
// whose format shows a date or time goes on as the date's ISO text. Errors name the worksheet by
// its `number` in the workbook's order; `stopped` tells that the receiver stopped the reading.
SheetReadResult ReadWorksheetRows(RecordReader& records, uint64_t start, size_t number,
                                  const BookGlobals& book, SheetRows& rows, bool& stopped);

}  // namespace qm4250
