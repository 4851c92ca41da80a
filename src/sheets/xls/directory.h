#pragma once

#include <cstdint>

#include "sheets/sheet_rows.h"
#include "sheets/xls/compound_file_header.h"
#include "sheets/xls/sector_table.h"

namespace qm4250 {

struct StreamEntry {
    uint32_t firstSector;
    uint64_t size;
};

struct WorkbookEntries {
    StreamEntry workbook;
    StreamEntry miniStream;  // the root entry's stream, which holds the small streams
};

// Finds the stream named "Workbook" (in any case) among the root storage's children. A workbook
// with a "Book" stream only is Excel 5, which is refused.
SheetReadResult FindWorkbookStream(SectorTable& sectors, const CompoundFileHeader& header,
                                   WorkbookEntries& found);

}  // namespace qm4250
