#pragma once

#include <QString>
#include <optional>

#include "export/cell_table.h"

namespace qm4250 {

// The first worksheet of a workbook this program saved (or one laid out the same way), by the
// format its extension names: .xls (through FreeXL), .xlsx or .csv. Cells are UTF-8 text; a
// number cell becomes its shortest decimal text. None, with the reason in `error`, when the file
// cannot be read.
std::optional<CellTable> ReadSheet(const QString& path, QString& error);

}  // namespace qm4250
