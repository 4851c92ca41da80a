#include "sheets/xls/workbook_globals_reader.h"

#include <optional>
#include <string_view>

#include "sheets/workbook_limits.h"
#include "sheets/xls/byte_fields.h"
#include "sheets/xls/text_decoding.h"

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

// `count` characters after a flags byte at `at`: one byte each, or UTF-16LE.
std::optional<std::string> TextAt(std::string_view body, size_t at, size_t count) {
    if (body.size() <= at)
        return std::nullopt;
    bool wide = body[at] & 0x01;
    std::string_view characters = body.substr(at + 1);
    if (characters.size() < count * (wide ? 2 : 1))
        return std::nullopt;
    std::string text;
    TextDecoder decoder;
    if (wide)
        decoder.appendWide(text, characters.substr(0, count * 2));
    else
        decoder.appendCompressed(text, characters.substr(0, count));
    decoder.finish(text);
    return text;
}

// Stream position of the sheet's BOF, visibility, sheet type, then its name: a one-byte length, a
// flags byte and the characters.
SheetReadResult BoundSheet(std::string_view body, BookGlobals& globals, size_t& sheets) {
    if (body.size() < 8)
        return Damaged("a BOUNDSHEET record is shorter than its fields");
    if (++sheets > kMaxSheets)
        return TooLarge("the workbook has more than " + std::to_string(kMaxSheets) + " sheets");
    if (static_cast<uint8_t>(body[5]) != kWorksheetType)
        return std::nullopt;
    size_t length = static_cast<uint8_t>(body[6]);
    if (length > kMaxSheetNameUnits)
        return Damaged("the name of sheet " + std::to_string(sheets) +
                       " is longer than 31 characters");
    std::optional<std::string> name = TextAt(body, 7, length);
    if (!name)
        return Damaged("the name of sheet " + std::to_string(sheets) + " runs past its record");
    globals.worksheets.push_back({std::move(*name), U32At(body.data())});
    return std::nullopt;
}

// The format's number, then its code: a two-byte length, a flags byte and the characters.
SheetReadResult Format(std::string_view body, CellFormats& formats) {
    if (body.size() < 5)
        return Damaged("a FORMAT record is shorter than its fields");
    std::optional<std::string> code = TextAt(body, 4, U16At(body.data() + 2));
    if (!code)
        return Damaged("the code of a FORMAT record runs past its record");
    if (!formats.defineNumberFormat(U16At(body.data()), *code))
        return TooLarge("the workbook defines more than " +
                        std::to_string(CellFormats::kMaxNumberFormats) + " number formats");
    return std::nullopt;
}

// The font, then the number format.
SheetReadResult Xf(std::string_view body, CellFormats& formats) {
    if (body.size() < 4)
        return Damaged("an XF record is shorter than its fields");
    if (!formats.addCellFormat(U16At(body.data() + 2)))
        return TooLarge("the workbook has more than " +
                        std::to_string(CellFormats::kMaxCellFormats) + " cell formats");
    return std::nullopt;
}

}  // namespace

SheetReadResult ReadWorkbookGlobals(RecordReader& records, BookGlobals& globals) {
    if (SheetReadResult error = ReadGlobalsBof(records))
        return error;
    bool sstRead = false;
    size_t sheets = 0;
    for (;;) {
        Record record;
        if (records.atEnd())
            return Damaged("the workbook globals end before their EOF record");
        if (SheetReadResult error = records.next(record))
            return error;
        if (record.type == biff::kEof)
            break;
        SheetReadResult error;
        switch (record.type) {
            case biff::kFilePass:
                return Unsupported("the workbook is encrypted");
            case biff::kBoundSheet:
                error = BoundSheet(record.body, globals, sheets);
                break;
            case biff::kFormat:
                error = Format(record.body, globals.formats);
                break;
            case biff::kXf:
                error = Xf(record.body, globals.formats);
                break;
            case biff::kDateMode:
                if (record.body.size() >= 2 && U16At(record.body.data()) == 1)
                    globals.formats.useDateSystem(DateSystem::From1904);
                break;
            case biff::kSst:
                if (sstRead)
                    break;
                sstRead = true;
                error = globals.strings.read(record.body, records);
                break;
        }
        if (error)
            return error;
    }
    if (globals.worksheets.empty())
        return Damaged("the workbook has no worksheet");
    return std::nullopt;
}

}  // namespace qm4250
