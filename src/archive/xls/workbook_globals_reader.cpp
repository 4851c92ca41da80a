#include "archive/xls/workbook_globals_reader.h"

#include <optional>

#include "archive/xls/byte_fields.h"

namespace qm4250 {

namespace {

constexpr uint8_t kWorksheetType = 0x00;

SheetReadResult ReadGlobalsBof(RecordReader& records) {
    Record bof;
    if (records.atEnd())
        return Damaged("the Workbook stream is empty");
    if (SheetReadResult error = records.next(bof))
        return error;
    if (bof.type != biff::kBof || bof.body.size() < 4)
        return Damaged("the Workbook stream does not start with a BOF record");
    if (U16At(bof.body.data()) != biff::kBiff8)
        return Unsupported("the workbook is older than Excel 97 (not BIFF8)");
    if (U16At(bof.body.data() + 2) != biff::kWorkbookGlobals)
        return Damaged("the Workbook stream does not start with the workbook globals");
    return std::nullopt;
}

}  // namespace

SheetReadResult ReadWorkbookGlobals(RecordReader& records, BookGlobals& globals) {
    if (SheetReadResult error = ReadGlobalsBof(records))
        return error;
    std::optional<uint64_t> firstWorksheet;
    bool sstRead = false;
    for (;;) {
        Record record;
        if (records.atEnd())
            return Damaged("the workbook globals end before their EOF record");
        if (SheetReadResult error = records.next(record))
            return error;
        if (record.type == biff::kEof)
            break;
        switch (record.type) {
            case biff::kFilePass:
                return Unsupported("the workbook is encrypted");
            case biff::kBoundSheet:
                // Stream position of the sheet's BOF, visibility, sheet type, name.
                if (record.body.size() < 6)
                    return Damaged("a BOUNDSHEET record is shorter than its fields");
                if (!firstWorksheet && static_cast<uint8_t>(record.body[5]) == kWorksheetType)
                    firstWorksheet = U32At(record.body.data());
                break;
            case biff::kSst:
                if (sstRead)
                    break;
                sstRead = true;
                if (SheetReadResult error = globals.strings.read(record.body, records))
                    return error;
                break;
        }
    }
    if (!firstWorksheet)
        return Damaged("the workbook has no worksheet");
    globals.firstWorksheet = *firstWorksheet;
    return std::nullopt;
}

}  // namespace qm4250
