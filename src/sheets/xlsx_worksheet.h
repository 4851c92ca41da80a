#pragma once

#include <cstdint>
#include <string>

#include "sheets/cell_formats.h"
#include "sheets/sheet_rows.h"
#include "sheets/xlsx_shared_strings.h"
#include "sheets/xml_part.h"

namespace qm4250 {

// One worksheet part of an .xlsx, row by row into `rows`, each row handed on when its element
// ends. Row and column numbers are checked against the format's limits (1,048,576 rows, 16,384
// columns); a row or cell without its "r" takes the next position. A number in a cell whose format
// shows a date or time is handed on as the date's ISO text.
class XlsxWorksheet {
  public:
    XlsxWorksheet(XmlPart& xml, const SharedStrings& strings, const CellFormats& formats,
                  SheetRows& rows)
        : xml_(xml), strings_(strings), formats_(formats), rows_(rows) {}

    // None at the sheet's end, or when the receiver stopped the reading.
    SheetReadResult read();
    bool stopped() const { return stopped_; }

  private:
    SheetReadResult startRow();
    bool endRow();
    SheetReadResult cell();
    SheetReadResult readValue();
    SheetReadResult sharedString(uint64_t column);
    void put(uint64_t column, std::string_view text, bool tooLong);

    XmlPart& xml_;
    const SharedStrings& strings_;
    const CellFormats& formats_;
    SheetRows& rows_;
    SheetRow cells_;
    uint64_t row_ = 0;
    bool inRow_ = false;
    int64_t column_ = -1;
    bool tooLong_ = false;
    std::string value_;
    bool valueTooLong_ = false;
    bool stopped_ = false;
};

}  // namespace qm4250
