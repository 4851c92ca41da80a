#pragma once

#include <cstddef>

#include "sheets/sheet_rows.h"

namespace qm4250 {

// The longest record a .csv row may be, its line end not counted; a longer one is skipped as too
// long, never taken in.
inline constexpr size_t kMaxCsvRecordBytes = size_t{1} << 20;

// A .csv sheet (RFC 4180: fields separated by ",", records by CR LF or LF, a quoted field may hold
// both and "" for a quote) from the open regular file `fd`, read as a stream, record by record
// into `rows`.
SheetReadResult ReadCsvRows(int fd, SheetRows& rows);

}  // namespace qm4250
