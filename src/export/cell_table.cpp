#include "export/cell_table.h"

#include <algorithm>
#include <string_view>

#include "export/utf8.h"
#include "protocol/field_format.h"

namespace {

constexpr std::string_view kPowerUpMarker = "QM 4250 Power UP";
constexpr size_t kTestRowItems = 7;

// A plain split at every ';', no trimming; an empty row has no items.
std::vector<std::string_view> SplitItems(std::string_view row) {
    std::vector<std::string_view> items;
    if (row.empty())
        return items;
    items.reserve(kTestRowItems);  // one allocation per row, not four
    size_t start = 0;
    for (size_t semicolon; (semicolon = row.find(';', start)) != std::string_view::npos;) {
        items.push_back(row.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    items.push_back(row.substr(start));
    return items;
}

SheetRow HeaderRow() {
    return {"SEQ#",      "PN",      "Cust Code", "Leak",   "Error",
            "Time/Date", "GPRelay", "BPRelay",   "GERelay"};
}

bool AddIdentificationRow(std::string_view row, CellTable& table) {
    std::vector<std::string_view> items = SplitItems(row);
    if (items.size() < 2)
        return false;
    if (items[1].find("Pellmar") != std::string_view::npos) {
        table[0][7] = "-Reject";
        table[0][8] = "+Reject";
    }
    SheetRow sheetRow;
    sheetRow[0] = Latin1ToUtf8(items[0]);
    sheetRow[1] = Latin1ToUtf8(items[1]);
    table.push_back(std::move(sheetRow));
    return true;
}

bool AddTestRow(std::string_view row, CellTable& table) {
    std::vector<std::string_view> items = SplitItems(row);
    if (items.size() < kTestRowItems)
        return false;
    std::optional<RelayBits> relay = RelayText(items[6]);
    if (!relay)
        return false;
    SheetRow sheetRow;
    for (size_t column = 0; column < 6; ++column)
        sheetRow[column] = Latin1ToUtf8(items[column]);
    for (int bit = 2; bit <= 4; ++bit)
        sheetRow[bit + 4] = relay->bit[bit];
    table.push_back(std::move(sheetRow));
    if (relay->powerUp)
        table.push_back(SheetRow{std::string(kPowerUpMarker)});
    return true;
}

}  // namespace

std::optional<CellTable> BuildCellTable(const std::vector<std::string>& records,
                                        int32_t recordIndex) {
    if (records.empty() || recordIndex >= static_cast<int64_t>(records.size()))
        return std::nullopt;
    CellTable table{HeaderRow()};
    // Room for a marker after one record in eight saves most regrowth of a long history.
    table.reserve(2 + static_cast<size_t>(std::max(recordIndex, int32_t{-1}) + 1) * 9 / 8);
    for (int32_t k = 0; k <= recordIndex; ++k) {
        const std::string& row = records[k];
        // A record that could not be decoded leaves its row empty; the others are still worth
        // saving.
        if (row.empty())
            continue;
        bool added = k == 0 ? AddIdentificationRow(row, table) : AddTestRow(row, table);
        if (!added)
            return std::nullopt;
    }
    return table;
}
