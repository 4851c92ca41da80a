#pragma once

#include <string>

#include "export/cell_table.h"

namespace qm4250 {

// The table as RFC 4180 text in UTF-8: nine fields to a line, lines ending CR LF.
std::string CsvText(const CellTable& table);

}  // namespace qm4250
