#include "sheets/sheet_reader.h"

#include "formats/file_format.h"
#include "sheets/csv_reader.h"
#include "sheets/sheet_file.h"
#include "sheets/xls/xls_reader.h"
#include "sheets/xlsx_reader.h"

namespace qm4250 {

SheetReadResult ReadSheetRows(const std::string& path, SheetRows& rows) {
    std::variant<FileDescriptor, SheetReadError> opened = OpenSheetFile(path);
    if (auto* failed = std::get_if<SheetReadError>(&opened))
        return *failed;
    int fd = std::get<FileDescriptor>(opened).get();
    switch (FormatForFileName(path)) {
        case FileFormat::Xlsx:
            return ReadXlsxRows(fd, rows);
        case FileFormat::Csv:
            return ReadCsvRows(fd, rows);
        case FileFormat::Xls:
            break;
    }
    return ReadXlsRows(fd, rows);
}

}  // namespace qm4250
