#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/sheet_row.h"

namespace qm4250 {

// Where a sheet reader puts what it reads, one row at a time in the file's order. Row numbers
// count from 1 in each sheet, as a spreadsheet shows them. Readers keep nothing of a row once it
// is handed on, so a file of any length is read in bounded memory.
class SheetRows {
  public:
    virtual ~SheetRows() = default;
    // A sheet begins: a workbook's worksheets come one after another in the workbook's order, each
    // with its name; a .csv is one sheet without a name. False stops the reading.
    virtual bool sheet(std::string_view /*name*/) { return true; }
    // A row's first nine cells as UTF-8 text, empty where blank. False stops the reading.
    virtual bool row(uint64_t number, const SheetRow& cells) = 0;
    // A row too long to be taken in (a .csv record past 1 MiB): skipped, not allocated.
    virtual bool rowTooLong(uint64_t number) = 0;
    // The row about to be handed on was not UTF-8 (a .csv from Windows): its bytes were taken as
    // Windows-1252, each the character of the same number, as received text is.
    virtual void rowInWindows1252(uint64_t /*number*/) {}
};

// Why a sheet could not be read to its end.
struct SheetReadError {
    enum class Kind {
        CannotOpen,   // the system's reason is the detail
        NotAFile,     // a FIFO, a device or a folder; the detail says which
        Unreadable,   // reading failed part way (an I/O error)
        Damaged,      // the format's rules are broken; the detail says which
        Unsupported,  // sound, but a kind this program does not read: encrypted, or older
        TooLarge,     // past a limit that keeps memory and time bounded; the detail says which
    };
    Kind kind;
    std::string detail;
};

// None when the whole sheet was read, or when the rows' receiver stopped the reading.
using SheetReadResult = std::optional<SheetReadError>;

inline SheetReadError Damaged(std::string detail) {
    return {SheetReadError::Kind::Damaged, std::move(detail)};
}

inline SheetReadError Unsupported(std::string detail) {
    return {SheetReadError::Kind::Unsupported, std::move(detail)};
}

inline SheetReadError TooLarge(std::string detail) {
    return {SheetReadError::Kind::TooLarge, std::move(detail)};
}

}  // namespace qm4250
