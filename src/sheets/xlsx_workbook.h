#pragma once

#include <string>
#include <vector>

#include "sheets/serial_date.h"
#include "sheets/sheet_rows.h"
#include "sheets/zip_parts.h"

namespace qm4250 {

// A worksheet of an .xlsx workbook: its name (UTF-8) and the zip part that holds it.
struct XlsxSheet {
    std::string name;
    std::string part;
};

// What a reader of an .xlsx needs before its sheets: the parts of its worksheets, in the
// workbook's order (chart sheets, macro sheets and dialog sheets left out), of the shared
// strings and of the styles (empty when it has none), and its date system.
struct XlsxWorkbook {
    std::vector<XlsxSheet> worksheets;
    std::string sharedStrings;
    std::string styles;
    DateSystem dates = DateSystem::From1900;
};

// Reads xl/workbook.xml and its relationships, xl/_rels/workbook.xml.rels, within kMaxSheets
// and kMaxSheetNameUnits (workbook_limits.h). A package without
// them is no workbook, even when it holds a worksheet part: Excel and every writer of .xlsx
// write both, and a reader that guessed at parts could read a sheet the workbook does not have.
SheetReadResult ReadXlsxWorkbook(ZipParts& zip, XlsxWorkbook& book);

}  // namespace qm4250
