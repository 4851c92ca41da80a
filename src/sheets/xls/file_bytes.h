#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sheets/sheet_rows.h"

namespace qm4250 {

// Reads `size` bytes at `offset` of the file `fd` of `fileSize` bytes: Damaged (naming `what`)
// when the file is shorter, Unreadable when reading fails.
SheetReadResult ReadFileBytes(int fd, uint64_t fileSize, uint64_t offset, char* out, size_t size,
                              std::string_view what);

}  // namespace qm4250
