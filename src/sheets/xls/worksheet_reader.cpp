#include "sheets/xls/worksheet_reader.h"

#include <bit>
#include <string>

#include "sheets/xls/byte_fields.h"
#include "sheets/xls/cell_values.h"
#include "sheets/xls/text_decoding.h"

namespace qm4250 {

namespace {

constexpr uint16_t kColumns = 256;

// Every cell record starts with its row, its column and its format.
constexpr size_t kCellHeader = 6;

SheetReadError TooShort(const char* recordName) {
    return Damaged(std::string("a ") + recordName + " record is shorter than its fields");
}

std::string CellAt(const char* body) {
    return "cell " + CellName(U16At(body), U16At(body + 2));
}

// Cells arrive row by row. A cell of another row hands on the row collected so far, whatever
// its column, before anything else about it is checked; a row with no cell in columns A to I is
// never handed on.
class Worksheet {
  public:
    Worksheet(const BookGlobals& book, SheetRows& rows)
        : strings_(book.strings), formats_(book.formats), rows_(rows) {}

    bool stopped() const { return stopped_; }

    SheetReadResult cell(const Record& record) {
        switch (record.type) {
            case biff::kLabelSst:
                return labelSst(record.body);
            case biff::kLabel:
                return label(record.body);
            case biff::kNumber:
                return number(record.body);
            case biff::kRk:
                return rk(record.body);
            case biff::kMulRk:
                return mulRk(record.body);
            case biff::kBoolErr:
                return boolErr(record.body);
        }
        return std::nullopt;
    }

    void end() { handOn(); }

  private:
    // False when the receiver stops the reading.
    bool handOn() {
        if (row_ >= 0 && !rows_.row(static_cast<uint64_t>(row_) + 1, cells_)) {
            stopped_ = true;
            return false;
        }
        for (std::string& cell : cells_)
            cell.clear();
        row_ = -1;
        return true;
    }

    // Where the text of the cell at (row, column) goes: null for a column past I, or when the
    // receiver has stopped the reading.
    SheetReadResult cellSlot(uint16_t row, uint16_t column, std::string*& slot) {
        slot = nullptr;
        if (row != row_ && !handOn())
            return std::nullopt;
        if (column >= kColumns)
            return Damaged("cell " + CellName(row, column) + " is past column IV");
        if (column >= cells_.size())
            return std::nullopt;
        row_ = row;
        slot = &cells_[column];
        return std::nullopt;
    }

    SheetReadResult set(const char* body, std::string text) {
        std::string* slot;
        if (SheetReadResult error = cellSlot(U16At(body), U16At(body + 2), slot))
            return error;
        if (slot)
            *slot = std::move(text);
        return std::nullopt;
    }

    SheetReadResult labelSst(std::string_view body) {
        if (body.size() < kCellHeader + 4)
            return TooShort("LABELSST");
        std::string* slot;
        if (SheetReadResult error = cellSlot(U16At(body.data()), U16At(body.data() + 2), slot))
            return error;
        uint32_t index = U32At(body.data() + kCellHeader);
        if (index >= strings_.size())
            return Damaged(CellAt(body.data()) +
                           " refers to a shared string past the end of the SST");
        if (slot)
            slot->assign(strings_.at(index));
        return std::nullopt;
    }

    // The text is a length, a flags byte and the characters, one byte each or UTF-16LE.
    SheetReadResult label(std::string_view body) {
        if (body.size() < kCellHeader + 3)
            return TooShort("LABEL");
        std::string* slot;
        if (SheetReadResult error = cellSlot(U16At(body.data()), U16At(body.data() + 2), slot))
            return error;
        bool wide = body[kCellHeader + 2] & 0x01;
        size_t size = size_t{U16At(body.data() + kCellHeader)} * (wide ? 2 : 1);
        std::string_view characters = body.substr(kCellHeader + 3);
        if (characters.size() < size)
            return Damaged("the text of " + CellAt(body.data()) + " runs past its record");
        if (!slot)
            return std::nullopt;
        TextDecoder decoder;
        if (wide)
            decoder.appendWide(*slot, characters.substr(0, size));
        else
            decoder.appendCompressed(*slot, characters.substr(0, size));
        decoder.finish(*slot);
        return std::nullopt;
    }

    // A number as its cell format shows it: a date or time, or the number itself.
    std::string numberText(uint16_t format, double value) const {
        std::optional<std::string> date = formats_.dateText(format, value);
        return date ? *std::move(date) : NumberText(value);
    }

    SheetReadResult number(std::string_view body) {
        if (body.size() < kCellHeader + 8)
            return TooShort("NUMBER");
        return set(body.data(),
                   numberText(U16At(body.data() + 4),
                              std::bit_cast<double>(U64At(body.data() + kCellHeader))));
    }

    SheetReadResult rk(std::string_view body) {
        if (body.size() < kCellHeader + 4)
            return TooShort("RK");
        return set(body.data(),
                   numberText(U16At(body.data() + 4), RkNumber(U32At(body.data() + kCellHeader))));
    }

    // Row, first column, then a format and an RK value for each column, then the last column.
    SheetReadResult mulRk(std::string_view body) {
        constexpr size_t kEach = 6;
        if (body.size() < 4 + kEach + 2 || (body.size() - 6) % kEach != 0)
            return TooShort("MULRK");
        uint16_t row = U16At(body.data());
        uint16_t first = U16At(body.data() + 2);
        size_t count = (body.size() - 6) / kEach;
        if (U16At(body.data() + body.size() - 2) != first + count - 1)
            return Damaged("a MULRK record's last column does not match its length");
        for (size_t k = 0; k < count && !stopped_; ++k) {
            std::string* slot;
            if (SheetReadResult error = cellSlot(row, static_cast<uint16_t>(first + k), slot))
                return error;
            const char* each = body.data() + 4 + k * kEach;
            if (slot)
                *slot = numberText(U16At(each), RkNumber(U32At(each + 2)));
        }
        return std::nullopt;
    }

    SheetReadResult boolErr(std::string_view body) {
        if (body.size() < kCellHeader + 2)
            return TooShort("BOOLERR");
        std::string* slot;
        if (SheetReadResult error = cellSlot(U16At(body.data()), U16At(body.data() + 2), slot))
            return error;
        const char* text =
            BoolErrText(static_cast<uint8_t>(body[kCellHeader]), body[kCellHeader + 1] != 0);
        if (!text)
            return Damaged(CellAt(body.data()) + " holds an unknown error code");
        if (slot)
            *slot = text;
        return std::nullopt;
    }

    const SharedStringTable& strings_;
    const CellFormats& formats_;
    SheetRows& rows_;
    SheetRow cells_;
    int32_t row_ = -1;  // the row whose cells are being collected, -1 for none
    bool stopped_ = false;
};

SheetReadResult ReadWorksheetBof(RecordReader& records, uint64_t start, const std::string& which) {
    if (start >= records.stream().size())
        return Damaged(which + " lies past the end of the Workbook stream");
    if (SheetReadResult error = records.stream().seek(start))
        return error;
    Record bof;
    if (SheetReadResult error = records.next(bof))
        return error;
    if (bof.type != biff::kBof || bof.body.size() < 4 ||
        U16At(bof.body.data() + 2) != biff::kWorksheet)
        return Damaged(which + " does not start with a worksheet BOF record");
    return std::nullopt;
}

SheetReadResult ReadCells(RecordReader& records, Worksheet& sheet, const std::string& which) {
    auto inSheet = [&](SheetReadError error) {
        error.detail = which + ": " + error.detail;
        return error;
    };
    // Substreams such as a chart's may sit inside the sheet, each from its BOF to its EOF.
    uint64_t nested = 0;
    for (;;) {
        Record record;
        if (records.atEnd())
            return Damaged(which + " ends before its EOF record");
        if (SheetReadResult error = records.next(record))
            return inSheet(*error);
        if (record.type == biff::kBof) {
            ++nested;
        } else if (record.type == biff::kEof) {
            if (nested == 0)
                break;
            --nested;
        } else if (nested == 0) {
            if (SheetReadResult error = sheet.cell(record))
                return inSheet(*error);
            if (sheet.stopped())
                return std::nullopt;
        }
    }
    sheet.end();
    return std::nullopt;
}

}  // namespace

SheetReadResult ReadWorksheetRows(RecordReader& records, uint64_t start, size_t number,
                                  const BookGlobals& book, SheetRows& rows, bool& stopped) {
    std::string which = "worksheet " + std::to_string(number);
    if (SheetReadResult error = ReadWorksheetBof(records, start, which))
        return error;
    Worksheet sheet(book, rows);
    SheetReadResult error = ReadCells(records, sheet, which);
    stopped = sheet.stopped();
    return error;
}

}  // namespace qm4250
