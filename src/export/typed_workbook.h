#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "result/result.h"

namespace qm4250 {

// A moment as seconds since 1970-01-01 00:00:00 UTC.
struct DateTime {
    int64_t seconds = 0;
};

// A cell of a typed sheet: empty, a text (UTF-8), a number or a date-time.
using TypedCell = std::variant<std::monostate, std::string, double, DateTime>;
using TypedRow = std::vector<TypedCell>;

// A table under a header row. Its rows are asked for one at a time as they are written, so that a
// million of them are never held as cells.
struct TypedSheet {
    std::string name;  // UTF-8
    std::vector<std::string> header;
    size_t rows = 0;
    std::function<TypedRow(size_t row)> row;
};

// The rows and columns of an Excel worksheet, and the worksheets of a workbook the archive's
// import reads.
inline constexpr size_t kSheetRowLimit = 1'048'576;
inline constexpr size_t kSheetColumnLimit = 16'384;
inline constexpr size_t kWorksheetLimit = 10'000;

// The date-time as Excel's 1900 date system holds it: days since 1899-12-31 counting the
// 29 February 1900 Excel believes in, the time of day as the fraction. None outside the dates
// Excel shows, 1900-01-01 to 9999-12-31.
std::optional<double> ExcelSerial(DateTime time);

// One worksheet of a table: its name and which of the table's rows it holds.
struct SheetPart {
    std::string name;
    size_t firstRow = 0;
    size_t rows = 0;
};

// The worksheets a table named `name` of `rows` rows takes when a worksheet holds its header and
// rowsPerSheet - 1 rows (rowsPerSheet within 2 and kSheetRowLimit): `name`, then "name (2)",
// "name (3)" …, the name cut where the suffix would not fit in 31 characters. A table without
// rows still has its worksheet; one that would take more than kWorksheetLimit has none.
std::vector<SheetPart> SheetParts(const std::string& name, size_t rows, size_t rowsPerSheet);

// Saves the sheets as an .xlsx workbook, replacing path only once the new file is complete. Each
// starts with its header row, bold and kept in view; numbers are number cells, date-times are
// numbers shown as "yyyy-mm-dd hh:mm:ss", texts are stored exactly as WriteXlsx stores them. A
// non-finite number and a date Excel cannot show are empty cells. A table longer than a worksheet
// continues on further ones, as SheetParts names them. Fails, and says which worksheet, when a
// name is not one a worksheet may have or repeats another (ignoring ASCII case), a table takes too
// many worksheets, a text is not UTF-8 or longer than a cell holds (32,767 characters) or a row is
// wider than a worksheet; else with the system's reason the file cannot be written.
Result<void> SaveTypedWorkbook(const std::vector<TypedSheet>& sheets, const std::string& path,
                               size_t rowsPerSheet = kSheetRowLimit);

}  // namespace qm4250
