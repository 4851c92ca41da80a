#pragma once

#include <cstdint>

#include "archive/sheet_rows.h"
#include "archive/xls/biff_records.h"
#include "archive/xls/shared_string_table.h"

namespace qm4250 {

// What the workbook globals tell the reader of the first worksheet.
struct BookGlobals {
    uint64_t firstWorksheet = 0;  // the stream position of its BOF record
    SharedStringTable strings;
};

// Reads the globals substream at the start of the Workbook stream, to its EOF record. An
// encrypted workbook, or one older than BIFF8, is refused.
SheetReadResult ReadWorkbookGlobals(RecordReader& records, BookGlobals& globals);

}  // namespace qm4250
