#pragma once

#include <optional>
#include <string>

#include "export/cell_table.h"

namespace qm4250 {

// The table as an Excel 97-2003 workbook file with one worksheet, every cell a text. nullopt when
// the table does not fit a sheet (more than 65,536 rows, or a text over 32,767 characters).
std::optional<std::string> XlsFile(const CellTable& table);

}  // namespace qm4250
