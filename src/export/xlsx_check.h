#pragma once

#include <cstddef>
#include <string>

namespace qm4250 {

// Reads a written .xlsx back and tells whether every part of it is whole and the worksheet holds
// sheetRows rows. libxlsxwriter does not notice when a write to its own temporary files fails (a
// full disk): it then packs the truncated part into a well-formed archive.
bool XlsxIsComplete(const std::string& path, size_t sheetRows);

}  // namespace qm4250
