#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/cell_table.h"

namespace qm4250 {

// The sheets as an Excel 97-2003 workbook file, in their order, every cell a text. nullopt when a
// table does not fit a sheet (more than 65,536 rows, or a text over 32,767 characters).
std::optional<std::string> XlsFile(const std::vector<NamedSheet>& sheets);

// The table as a workbook of one worksheet, named as a new workbook names it.
std::optional<std::string> XlsFile(const CellTable& table);

}  // namespace qm4250
