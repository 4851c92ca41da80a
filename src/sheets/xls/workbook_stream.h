#pragma once

#include <optional>

#include "sheets/sheet_rows.h"
#include "sheets/xls/compound_file_header.h"
#include "sheets/xls/sector_table.h"
#include "sheets/xls/stream_reader.h"

namespace qm4250 {

// The Workbook stream of the compound file, ready to be read from its start: in regular sectors,
// read as it goes, or under the mini stream cutoff, read whole.
SheetReadResult OpenWorkbookStream(SectorTable& sectors, const CompoundFileHeader& header,
                                   std::optional<StreamReader>& stream);

}  // namespace qm4250
