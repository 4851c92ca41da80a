#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/cell_table.h"
#include "result/result.h"

namespace qm4250 {

// Writes the sheets to path as an Excel workbook (.xlsx), in their order, every cell a shared
// string. Fails when a table does not fit a sheet, a name is not one a sheet may have, or the file
// cannot be written.
Result<void> WriteXlsx(const std::vector<NamedSheet>& sheets, const std::string& path);

// The table as a workbook of one worksheet, named as a new workbook names it.
Result<void> WriteXlsx(const CellTable& table, const std::string& path);

// The text as libxlsxwriter must be given it for a cell to hold exactly that text: it takes C
// strings, so a NUL is escaped here, and literal "_xHHHH_" escapes have their underscore escaped.
std::string XlsxCellText(std::string_view text);

}  // namespace qm4250
