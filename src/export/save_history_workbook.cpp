#include "export/save_history_workbook.h"

#include <optional>
#include <utility>

#include "export/atomic_file.h"
#include "export/cell_table.h"
#include "export/csv_writer.h"
#include "export/sheet_names.h"
#include "export/xls/worksheet.h"
#include "export/xls/xls_writer.h"
#include "export/xlsx_writer.h"
#include "formats/file_format.h"

namespace qm4250 {

namespace {

Result<void> SaveBytes(const std::optional<std::string>& bytes, const std::string& fileName) {
    if (!bytes)
        return Failure{Failure::Kind::Writer, 0, fileName};
    return SaveAtomically(
        fileName, [&](const std::string& temporary) { return WriteBytes(temporary, *bytes); });
}

Result<void> SaveWorkbook(const std::vector<NamedSheet>& sheets, const std::string& fileName) {
    if (FormatForFileName(fileName) == FileFormat::Xlsx)
        return SaveAtomically(
            fileName, [&](const std::string& temporary) { return WriteXlsx(sheets, temporary); });
    for (const NamedSheet& sheet : sheets) {
        if (sheet.cells.size() > kMaxSheetRows)
            return Failure{Failure::Kind::TooManyRows, 0, sheet.name};
    }
    return SaveBytes(XlsFile(sheets), fileName);
}

std::vector<NamedSheet> InstrumentSheets(const std::vector<History>& histories) {
    std::vector<std::string> serials;
    for (const History& history : histories)
        serials.push_back(history.identification ? history.identification->serial : "");
    std::vector<std::string> names = InstrumentSheetNames(serials);
    std::vector<NamedSheet> sheets;
    for (size_t k = 0; k < histories.size(); ++k)
        sheets.push_back({names[k], BuildCellTable(histories[k])});
    return sheets;
}

SaveResult Outcome(Result<void> saved) {
    if (!saved)
        return SaveFailure(saved.error());
    return {};
}

}  // namespace

SaveResult SaveHistory(const History& history, const std::string& fileName) {
    if (FormatForFileName(fileName) == FileFormat::Csv)
        return Outcome(SaveBytes(CsvText(BuildCellTable(history)), fileName));
    if (std::optional<UnwritableTest> test = FirstUnwritableTest(history))
        return SaveFailure(std::move(*test));
    // Pushed, not listed in braces: a vector copies what an initializer list holds, every cell.
    std::vector<NamedSheet> sheets;
    sheets.push_back({kFirstSheetName, BuildCellTable(history)});
    return Outcome(SaveWorkbook(sheets, fileName));
}

SaveResult SaveHistories(const std::vector<History>& histories, const std::string& fileName) {
    if (histories.size() <= 1)
        return SaveHistory(histories.empty() ? History{} : histories.front(), fileName);
    if (FormatForFileName(fileName) == FileFormat::Csv)
        return Outcome(SaveBytes(CsvText(BuildInstrumentsTable(histories)), fileName));
    for (const History& history : histories) {
        if (std::optional<UnwritableTest> test = FirstUnwritableTest(history))
            return SaveFailure(std::move(*test));
    }
    return Outcome(SaveWorkbook(InstrumentSheets(histories), fileName));
}

}  // namespace qm4250
