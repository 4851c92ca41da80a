#include "export/xls/worksheet.h"

#include <algorithm>
#include <cstdint>

#include "export/xls/biff_record.h"
#include "export/xls/little_endian.h"

namespace qm4250 {

namespace {

constexpr uint16_t kCellXf = 15;

// The range of cells that hold text: first row, last row + 1, first column, last column + 1.
std::string DimensionsData(const CellTable& table) {
    size_t firstRow = table.size(), endRow = 0, firstColumn = SheetRow().size(), endColumn = 0;
    for (size_t row = 0; row < table.size(); ++row) {
        for (size_t column = 0; column < table[row].size(); ++column) {
            if (table[row][column].empty())
                continue;
            firstRow = std::min(firstRow, row);
            endRow = row + 1;
            firstColumn = std::min(firstColumn, column);
            endColumn = std::max(endColumn, column + 1);
        }
    }
    std::string data;
    PutU32(data, static_cast<uint32_t>(std::min(firstRow, endRow)));
    PutU32(data, static_cast<uint32_t>(endRow));
    PutU16(data, static_cast<uint16_t>(std::min(firstColumn, endColumn)));
    PutU16(data, static_cast<uint16_t>(endColumn));
    PutU16(data, 0);
    return data;
}

std::string LabelSstData(uint16_t row, uint16_t column, uint32_t stringIndex) {
    std::string data;
    PutU16(data, row);
    PutU16(data, column);
    PutU16(data, kCellXf);
    PutU32(data, stringIndex);
    return data;
}

// Gridlines, row and column headings and zero values shown; the first sheet selected and shown.
std::string Window2Data(bool first) {
    constexpr uint16_t kSelectedAndShown = 0x0600;
    std::string data;
    PutU16(data, first ? 0x00B6 | kSelectedAndShown : 0x00B6);
    PutU16(data, 0);   // top row
    PutU16(data, 0);   // left column
    PutU16(data, 64);  // automatic gridline colour
    PutU16(data, 0);
    PutU16(data, 0);  // default page-break preview zoom
    PutU16(data, 0);  // default normal zoom
    PutU32(data, 0);
    return data;
}

}  // namespace

std::optional<std::string> BuildWorksheet(const CellTable& table, SharedStrings& strings,
                                          bool first) {
    if (table.size() > kMaxSheetRows)
        return std::nullopt;
    using namespace biff;
    std::string s;
    constexpr size_t kLabelSstRecordSize = 14;
    s.reserve(256 + table.size() * SheetRow().size() * kLabelSstRecordSize);
    AppendBof(s, kWorksheet);
    AppendU16Record(s, kWsBool, 0x04C1);  // show automatic page breaks and outline symbols
    AppendRecord(s, kDimensions, DimensionsData(table));
    for (size_t row = 0; row < table.size(); ++row) {
        for (size_t column = 0; column < table[row].size(); ++column) {
            const std::string& text = table[row][column];
            if (text.empty())
                continue;
            std::optional<uint32_t> index = strings.Add(text);
            if (!index)
                return std::nullopt;
            AppendRecord(
                s, kLabelSst,
                LabelSstData(static_cast<uint16_t>(row), static_cast<uint16_t>(column), *index));
        }
    }
    AppendRecord(s, kWindow2, Window2Data(first));
    AppendRecord(s, kEof, "");
    return s;
}

}  // namespace qm4250
