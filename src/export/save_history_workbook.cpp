#include "export/save_history_workbook.h"

#include <optional>

#include "export/atomic_file.h"
#include "export/cell_table.h"
#include "export/csv_writer.h"
#include "export/file_format.h"
#include "export/xls/xls_writer.h"
#include "export/xlsx_writer.h"

namespace qm4250 {

namespace {

bool SaveBytes(const std::optional<std::string>& bytes, const std::string& fileName) {
    return bytes && SaveAtomically(fileName, [&](const std::string& temporary) {
               return WriteBytes(temporary, *bytes);
           });
}

bool SaveTable(const CellTable& table, const std::string& fileName) {
    switch (FormatForFileName(fileName)) {
        case FileFormat::Xlsx:
            return SaveAtomically(fileName, [&](const std::string& temporary) {
                return WriteXlsx(table, temporary);
            });
        case FileFormat::Csv:
            return SaveBytes(CsvText(table), fileName);
        case FileFormat::Xls:
            break;
    }
    return SaveBytes(XlsFile(table), fileName);
}

}  // namespace

SaveResult SaveHistory(const History& history, const std::string& fileName) {
    return SaveTable(BuildCellTable(history), fileName) ? SaveResult::Saved : SaveResult::NotSaved;
}

}  // namespace qm4250
