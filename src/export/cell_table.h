#pragma once

#include <array>
#include <string>
#include <vector>

#include "protocol/history.h"

namespace qm4250 {

// One sheet row, columns A to I. An empty text is a cell left blank.
using SheetRow = std::array<std::string, 9>;

// The history as the sheet shows it, row 1 first. Every text is UTF-8.
using CellTable = std::vector<SheetRow>;

// The sheet of a history: the header row, the identification row (when the identification was
// read), then one row per test record, each followed by a power-up marker row when its relay
// field says so. Every field goes into its own cell exactly as received.
CellTable BuildCellTable(const History& history);

}  // namespace qm4250
