#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "result/result.h"

struct lxw_workbook;

namespace qm4250 {

// Reads a written .xlsx back and tells whether every part of it is whole and each worksheet holds
// its number of rows in sheetRows. libxlsxwriter does not notice when a write to its own temporary
// files fails (a full disk): it then packs the truncated part into a well-formed archive.
bool XlsxIsComplete(const std::string& path, const std::vector<size_t>& sheetRows);

// Closes the workbook, which writes it to path and frees it, and reads the file back as
// XlsxIsComplete does: nothing when it is whole, else the system's reason when the close met one
// (a full disk), or that the file is not whole.
Result<void> CloseAndCheckWorkbook(lxw_workbook* workbook, const std::string& path,
                                   const std::vector<size_t>& sheetRows);

}  // namespace qm4250
