#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qm4250 {

// Reads a written .xlsx back and tells whether every part of it is whole and each worksheet holds
// its number of rows in sheetRows. libxlsxwriter does not notice when a write to its own temporary
// files fails (a full disk): it then packs the truncated part into a well-formed archive.
bool XlsxIsComplete(const std::string& path, const std::vector<size_t>& sheetRows);

}  // namespace qm4250
