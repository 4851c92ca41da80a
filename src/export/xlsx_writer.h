#pragma once

#include <string>
#include <vector>

#include "export/cell_table.h"

namespace qm4250 {

// Writes the sheets to path as an Excel workbook (.xlsx), in their order, every cell a shared
// string. False when a table does not fit a sheet, a name is not one a sheet may have, or the file
// cannot be written.
bool WriteXlsx(const std::vector<NamedSheet>& sheets, const std::string& path);

// The table as a workbook of one worksheet, named as a new workbook names it.
bool WriteXlsx(const CellTable& table, const std::string& path);

}  // namespace qm4250
