#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One sheet row, columns A to I. An empty text is a cell left blank.
using SheetRow = std::array<std::string, 9>;

// The history as the sheet shows it, row 1 first. Every text is UTF-8.
using CellTable = std::vector<SheetRow>;

// The sheet for rows 0 to recordIndex of records: the header row, the identification row, then
// one row per test record, each followed by a power-up marker row when its relay field says so.
// Empty rows (a record that could not be decoded) are left out. nullopt when the history cannot
// be saved: records never created, a row missing, a test row with fewer than seven items or a
// relay field that is not a 16-bit integer, an identification row with fewer than two items.
std::optional<CellTable> BuildCellTable(const std::vector<std::string>& records,
                                        int32_t recordIndex);
