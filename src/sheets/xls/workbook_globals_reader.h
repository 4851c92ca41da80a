#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sheets/cell_formats.h"
#include "sheets/sheet_rows.h"
#include "sheets/xls/biff_records.h"
#include "sheets/xls/shared_string_table.h"

namespace qm4250 {

// A worksheet as the globals list it: its name (UTF-8) and the stream position of its BOF record.
struct WorksheetEntry {
    std::string name;
    uint64_t start;
};

// What the workbook globals tell the readers of its worksheets.
struct BookGlobals {
    std::vector<WorksheetEntry> worksheets;  // in the workbook's order; charts and others left out
    SharedStringTable strings;
    CellFormats formats;  // from its FORMAT, XF and DATEMODE records
};

// Reads the globals substream at the start of the Workbook stream, to its EOF record. An
// encrypted workbook, or one older than BIFF8, is refused; so is one of more sheets or longer
// sheet names than workbook_limits.h allows, or more formats than CellFormats holds.
SheetReadResult ReadWorkbookGlobals(RecordReader& records, BookGlobals& globals);

}  // namespace qm4250
