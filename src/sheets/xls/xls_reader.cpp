#include "sheets/xls/xls_reader.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "sheets/sheet_file.h"
#include "sheets/xls/biff_records.h"
#include "sheets/xls/compound_file_header.h"
#include "sheets/xls/sector_table.h"
#include "sheets/xls/stream_reader.h"
#include "sheets/xls/workbook_globals_reader.h"
#include "sheets/xls/workbook_stream.h"
#include "sheets/xls/worksheet_reader.h"

namespace qm4250 {

SheetReadResult ReadXlsRows(int fd, SheetRows& rows) {
    int64_t fileSize = FileSize(fd);
    if (fileSize < 0)
        return SheetReadError{SheetReadError::Kind::Unreadable, std::strerror(errno)};
    CompoundFileHeader header;
    if (SheetReadResult error = ReadCompoundFileHeader(fd, static_cast<uint64_t>(fileSize), header))
        return error;
    SectorTable sectors(fd, static_cast<uint64_t>(fileSize), header.sectorShift);
    if (SheetReadResult error = sectors.readDifat(header))
        return error;
    std::optional<StreamReader> stream;
    if (SheetReadResult error = OpenWorkbookStream(sectors, header, stream))
        return error;
    RecordReader records(*stream);
    BookGlobals globals;
    if (SheetReadResult error = ReadWorkbookGlobals(records, globals))
        return error;
    uint64_t end = stream->position();  // of the globals, then of each worksheet read
    for (size_t k = 0; k < globals.worksheets.size(); ++k) {
        const WorksheetEntry& sheet = globals.worksheets[k];
        if (sheet.start < end)
            return Damaged("worksheet " + std::to_string(k + 1) +
                           " begins before the globals or the worksheet ahead of it end");
        if (!rows.sheet(sheet.name))
            return std::nullopt;
        bool stopped = false;
        if (SheetReadResult error =
                ReadWorksheetRows(records, sheet.start, k + 1, globals, rows, stopped))
            return error;
        if (stopped)
            return std::nullopt;
        end = stream->position();
    }
    return std::nullopt;
}

}  // namespace qm4250
