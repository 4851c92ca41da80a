#include "export/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cctype>
#include <optional>
#include <string_view>

#include "export/xlsx_check.h"

namespace qm4250 {

namespace {

// What libxlsxwriter writes as "_xHHHH_" (and a NUL, which is escaped here): the control
// characters XML cannot hold.
bool BecomesAnEscape(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Readers turn "_xHHHH_" back into the character numbered HHHH; libxlsxwriter writes control
// characters that way, but passes such text through unchanged when it was already in the cell.
// "_xHHHH" before a control character reads as one too, once that character is escaped.
bool LooksLikeEscape(std::string_view text) {
    return text.size() >= 7 && text.substr(0, 2) == "_x" &&
           (text[6] == '_' || BecomesAnEscape(text[6])) &&
           std::isxdigit(static_cast<unsigned char>(text[2])) &&
           std::isxdigit(static_cast<unsigned char>(text[3])) &&
           std::isxdigit(static_cast<unsigned char>(text[4])) &&
           std::isxdigit(static_cast<unsigned char>(text[5]));
}

// Writes the table's non-blank cells; the number of rows written, or nullopt when a cell failed.
std::optional<size_t> WriteCells(lxw_worksheet* sheet, const CellTable& table) {
    size_t rowsWritten = 0;
    for (size_t row = 0; row < table.size(); ++row) {
        bool rowHasText = false;
        for (size_t column = 0; column < table[row].size(); ++column) {
            const std::string& text = table[row][column];
            if (text.empty())
                continue;
            rowHasText = true;
            if (worksheet_write_string(sheet, static_cast<lxw_row_t>(row),
                                       static_cast<lxw_col_t>(column), XlsxCellText(text).c_str(),
                                       nullptr) != LXW_NO_ERROR)
                return std::nullopt;
        }
        rowsWritten += rowHasText ? 1 : 0;
    }
    return rowsWritten;
}

}  // namespace

std::string XlsxCellText(std::string_view text) {
    std::string cell;
    cell.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            cell += "_x0000_";
            continue;
        }
        if (LooksLikeEscape(text.substr(i)))
            cell += "_x005F";
        cell += text[i];
    }
    return cell;
}

Result<void> WriteXlsx(const std::vector<NamedSheet>& sheets, const std::string& path) {
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (workbook == nullptr)
        return Failure{Failure::Kind::Writer, 0, path};
    std::vector<size_t> rowsWritten;
    Result<void> written;
    for (const NamedSheet& named : sheets) {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, named.name.c_str());
        if (sheet == nullptr) {
            written = Failure{Failure::Kind::SheetName, 0, named.name};
            break;
        }
        std::optional<size_t> rows = WriteCells(sheet, named.cells);
        if (!rows) {
            written = Failure{Failure::Kind::Writer, 0, path};
            break;
        }
        rowsWritten.push_back(*rows);
    }
    // Closing also frees the workbook, so it happens even when a cell failed.
    Result<void> closed = CloseAndCheckWorkbook(workbook, path, rowsWritten);
    return written ? closed : written;
}

Result<void> WriteXlsx(const CellTable& table, const std::string& path) {
    return WriteXlsx(std::vector<NamedSheet>{{kFirstSheetName, table}}, path);
}

}  // namespace qm4250
