#pragma once

#include <string>
#include <vector>

#include "formats/sheet_row.h"
#include "protocol/history.h"

namespace qm4250 {

// The history as the sheet shows it, row 1 first. Every text is UTF-8.
using CellTable = std::vector<SheetRow>;

// The sheet of a history: the header row, the identification row (when the identification was
// read), then one row per test record, each followed by a power-up marker row when its relay
// field says so. Every field goes into its own cell exactly as received.
CellTable BuildCellTable(const History& history);

// Several instruments' histories as one table under one header row: each history's rows as
// BuildCellTable gives them, its identification row first, so every test stays with its
// instrument. The relay headers are the common ones.
CellTable BuildInstrumentsTable(const std::vector<History>& histories);

// One worksheet of a workbook: its name (UTF-8) and its cells.
struct NamedSheet {
    std::string name;
    CellTable cells;
};

// The name a workbook of one sheet gives it, as spreadsheet programs name a new sheet.
inline constexpr const char* kFirstSheetName = "Sheet1";

}  // namespace qm4250
