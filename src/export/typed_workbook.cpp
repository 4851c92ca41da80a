#include "export/typed_workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>

#include "export/atomic_file.h"
#include "export/xlsx_check.h"
#include "export/xlsx_writer.h"
#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr int64_t kSecondsPerDay = 86'400;
constexpr int64_t kFirstExcelSecond = -2'208'988'800;  // 1900-01-01 00:00:00
constexpr int64_t kMarch1900 = -2'203'891'200;         // 1900-03-01 00:00:00
constexpr int64_t kEndOfExcelDates = 253'402'300'800;  // 10000-01-01 00:00:00
constexpr int64_t kSerialOf1970 = 25'569;

constexpr size_t kMaxNameCharacters = 31;
constexpr const char* kDateTimeFormat = "yyyy-mm-dd hh:mm:ss";

// Column widths in characters: a date-time's, a number's in the general format, the most a text
// widens a column to, and Excel's default, which narrower columns keep.
constexpr size_t kDateTimeWidth = 19;
constexpr size_t kNumberWidth = 12;
constexpr size_t kWidestColumn = 60;
constexpr size_t kDefaultWidth = 8;

bool StartsACharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

size_t Characters(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), StartsACharacter));
}

// The text's first `characters` characters.
std::string_view Prefix(std::string_view utf8, size_t characters) {
    size_t seen = 0;
    for (size_t at = 0; at < utf8.size(); ++at) {
        if (StartsACharacter(utf8[at]) && seen++ == characters)
            return utf8.substr(0, at);
    }
    return utf8;
}

std::string PartName(const std::string& name, size_t number) {
    if (number == 1)
        return name;
    std::string suffix = " (" + std::to_string(number) + ")";
    return std::string(Prefix(name, kMaxNameCharacters - suffix.size())) + suffix;
}

// A name Excel accepts and XML can hold: UTF-8 without control characters, at most 31
// characters, none of []:*?/\ and no apostrophe at either end. libxlsxwriter would refuse some of
// these too, but with the same answer as when its temporary file cannot be made.
bool MayName(const std::string& name) {
    return !name.empty() && IsUtf8(name) && Characters(name) <= kMaxNameCharacters &&
           name.front() != '\'' && name.back() != '\'' &&
           std::none_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 ||
                      std::string_view("[]:*?/\\").find(c) != std::string_view::npos;
           });
}

// A name as Excel compares names, which libxlsxwriter does with their case.
std::string Folded(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

struct Formats {
    lxw_format* header;
    lxw_format* dateTime;
};

// Writes a worksheet row after row, keeping how wide each column's cells are.
class WorksheetWriter {
  public:
    WorksheetWriter(lxw_worksheet* sheet, std::string name, const Formats& formats)
        : sheet_(sheet), name_(std::move(name)), formats_(formats) {}

    // Fails when a cell cannot be written; a row of empty cells writes nothing.
    Result<void> row(const TypedRow& cells, lxw_format* textFormat = nullptr) {
        if (cells.size() > kSheetColumnLimit)
            return Failure{Failure::Kind::RowTooWide, 0, name_};
        bool holdsACell = false;
        for (size_t column = 0; column < cells.size(); ++column) {
            Result<bool> written = std::visit(
                [&](const auto& value) { return write(column, value, textFormat); }, cells[column]);
            if (!written)
                return written.error();
            holdsACell = holdsACell || written.value();
        }
        rowsWritten_ += holdsACell ? 1 : 0;
        ++row_;
        return {};
    }

    // Sets each column as wide as its widest cell; the number of rows written.
    size_t finish() {
        for (size_t column = 0; column < widths_.size(); ++column) {
            if (widths_[column] > kDefaultWidth)
                worksheet_set_column(
                    sheet_, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                    static_cast<double>(std::min(widths_[column], kWidestColumn) + 1), nullptr);
        }
        return rowsWritten_;
    }

  private:
    // Whether the cell holds anything, or why it cannot be written.
    Result<bool> write(size_t, std::monostate, lxw_format*) { return false; }

    Result<bool> write(size_t column, const std::string& text, lxw_format* format) {
        if (text.empty())
            return false;
        if (!IsUtf8(text))
            return Failure{Failure::Kind::NotUtf8, 0, name_};
        return written(worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column),
                                              XlsxCellText(text).c_str(), format),
                       column, Characters(text));
    }

    Result<bool> write(size_t column, double number, lxw_format*) {
        if (!std::isfinite(number))
            return false;
        return written(
            worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), number, nullptr),
            column, kNumberWidth);
    }

    Result<bool> write(size_t column, DateTime time, lxw_format*) {
        std::optional<double> serial = ExcelSerial(time);
        if (!serial)
            return false;
        return written(worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), *serial,
                                              formats_.dateTime),
                       column, kDateTimeWidth);
    }

    Result<bool> written(lxw_error error, size_t column, size_t width) {
        if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            return Failure{Failure::Kind::CellTooLong, 0, name_};
        if (error != LXW_NO_ERROR)
            return Failure{Failure::Kind::Writer, 0, name_};
        if (widths_.size() <= column)
            widths_.resize(column + 1, 0);
        widths_[column] = std::max(widths_[column], width);
        return true;
    }

    lxw_worksheet* sheet_;
    std::string name_;
    Formats formats_;
    lxw_row_t row_ = 0;
    size_t rowsWritten_ = 0;
    std::vector<size_t> widths_;
};

// The rows written, or why the worksheet cannot be added or a cell written.
Result<size_t> WritePart(lxw_workbook* workbook, const TypedSheet& sheet, const SheetPart& part,
                         const Formats& formats) {
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, part.name.c_str());
    if (worksheet == nullptr)
        return Failure{Failure::Kind::SheetName, 0, part.name};
    worksheet_freeze_panes(worksheet, 1, 0);
    WorksheetWriter writer(worksheet, part.name, formats);
    if (Result<void> header =
            writer.row(TypedRow(sheet.header.begin(), sheet.header.end()), formats.header);
        !header)
        return header.error();
    for (size_t k = 0; k < part.rows; ++k) {
        if (Result<void> row = writer.row(sheet.row(part.firstRow + k)); !row)
            return row.error();
    }
    return writer.finish();
}

// Each worksheet's rows written, in order, or why one failed.
Result<std::vector<size_t>> WriteSheets(lxw_workbook* workbook,
                                        const std::vector<TypedSheet>& sheets,
                                        size_t rowsPerSheet) {
    Formats formats{workbook_add_format(workbook), workbook_add_format(workbook)};
    format_set_bold(formats.header);
    format_set_num_format(formats.dateTime, kDateTimeFormat);
    std::set<std::string> taken;
    std::vector<size_t> rowsWritten;
    for (const TypedSheet& sheet : sheets) {
        std::vector<SheetPart> parts = SheetParts(sheet.name, sheet.rows, rowsPerSheet);
        if (parts.empty())
            return Failure{Failure::Kind::TooManyWorksheets, 0, sheet.name};
        if (sheet.rows > 0 && !sheet.row)
            return Failure{Failure::Kind::Writer, 0, sheet.name};
        for (const SheetPart& part : parts) {
            if (!MayName(part.name))
                return Failure{Failure::Kind::SheetName, 0, part.name};
            if (!taken.insert(Folded(part.name)).second)
                return Failure{Failure::Kind::SheetNameTaken, 0, part.name};
            Result<size_t> rows = WritePart(workbook, sheet, part, formats);
            if (!rows)
                return rows.error();
            rowsWritten.push_back(rows.value());
        }
    }
    return rowsWritten;
}

}  // namespace

std::optional<double> ExcelSerial(DateTime time) {
    if (time.seconds < kFirstExcelSecond || time.seconds >= kEndOfExcelDates)
        return std::nullopt;
    int64_t days = time.seconds / kSecondsPerDay;
    int64_t secondOfDay = time.seconds % kSecondsPerDay;
    if (secondOfDay < 0) {
        days -= 1;
        secondOfDay += kSecondsPerDay;
    }
    int64_t serialDay = days + kSerialOf1970 - (time.seconds < kMarch1900 ? 1 : 0);
    return static_cast<double>(serialDay) +
           static_cast<double>(secondOfDay) / static_cast<double>(kSecondsPerDay);
}

std::vector<SheetPart> SheetParts(const std::string& name, size_t rows, size_t rowsPerSheet) {
    // The header takes a row of each worksheet.
    size_t perSheet = std::clamp(rowsPerSheet, size_t{2}, kSheetRowLimit) - 1;
    if (rows > 0 && (rows - 1) / perSheet >= kWorksheetLimit)
        return {};
    std::vector<SheetPart> parts;
    size_t first = 0;
    do {
        size_t count = std::min(perSheet, rows - first);
        parts.push_back({PartName(name, parts.size() + 1), first, count});
        first += count;
    } while (first < rows);
    return parts;
}

Result<void> SaveTypedWorkbook(const std::vector<TypedSheet>& sheets, const std::string& path,
                               size_t rowsPerSheet) {
    return SaveAtomically(path, [&](const std::string& temporary) -> Result<void> {
        // Row by row to temporary files: a million rows are not held as cells.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* workbook = workbook_new_opt(temporary.c_str(), &options);
        if (workbook == nullptr)
            return Failure{Failure::Kind::Writer, 0, temporary};
        Result<std::vector<size_t>> rowsWritten = WriteSheets(workbook, sheets, rowsPerSheet);
        // Closing also frees the workbook, so it happens even when a sheet failed.
        Result<void> closed = CloseAndCheckWorkbook(
            workbook, temporary, rowsWritten ? rowsWritten.value() : std::vector<size_t>{});
        if (!rowsWritten)
            return rowsWritten.error();
        return closed;
    });
}

}  // namespace qm4250
