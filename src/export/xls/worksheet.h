#pragma once

#include <optional>
#include <string>

#include "export/cell_table.h"
#include "export/xls/shared_strings.h"

namespace qm4250 {

// A BIFF8 sheet holds rows 0 to 65,535.
constexpr size_t kMaxSheetRows = 65536;

// The worksheet substream holding table's text cells, their texts added to strings; the first
// sheet of a workbook is the one shown when it opens. nullopt when the table has more rows than a
// sheet or a text longer than a cell holds.
std::optional<std::string> BuildWorksheet(const CellTable& table, SharedStrings& strings,
                                          bool first);

}  // namespace qm4250
