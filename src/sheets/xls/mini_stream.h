#pragma once

#include <string>
#include <string_view>

#include "sheets/sheet_rows.h"
#include "sheets/xls/compound_file_header.h"
#include "sheets/xls/directory.h"
#include "sheets/xls/sector_table.h"

namespace qm4250 {

// The bytes of `stream`, shorter than the mini stream cutoff: 64-byte mini sectors of the mini
// stream, chained by the MiniFAT. `name` names the stream in errors.
SheetReadResult ReadSmallStream(SectorTable& sectors, const CompoundFileHeader& header,
                                const StreamEntry& miniStream, const StreamEntry& stream,
                                std::string_view name, std::string& bytes);

}  // namespace qm4250
