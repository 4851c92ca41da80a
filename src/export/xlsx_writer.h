#pragma once

#include <string>

#include "export/cell_table.h"

namespace qm4250 {

// Writes the table to path as an Excel workbook (.xlsx) with one worksheet, every cell a shared
// string. False when the table does not fit a sheet or the file cannot be written.
bool WriteXlsx(const CellTable& table, const std::string& path);

}  // namespace qm4250
