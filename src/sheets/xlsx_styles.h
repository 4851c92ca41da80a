#pragma once

#include "sheets/cell_formats.h"
#include "sheets/sheet_rows.h"
#include "sheets/xml_part.h"

namespace qm4250 {

// The cell formats of an .xlsx workbook from its styles part: the number formats it defines
// (<numFmts>) and the number format of each cell format (<cellXfs>), in order. A cell format whose
// number format id is missing or no number shows General. More than CellFormats can hold is too
// large.
SheetReadResult ReadXlsxStyles(XmlPart& xml, CellFormats& formats);

}  // namespace qm4250
