#include "sheets/xlsx_reader.h"

#include "sheets/cell_formats.h"
#include "sheets/xlsx_shared_strings.h"
#include "sheets/xlsx_styles.h"
#include "sheets/xlsx_workbook.h"
#include "sheets/xlsx_worksheet.h"
#include "sheets/xml_part.h"
#include "sheets/zip_parts.h"

namespace qm4250 {

SheetReadResult ReadXlsxRows(int fd, SheetRows& rows) {
    ZipParts zip(fd);
    if (zip.error())
        return zip.error();
    XlsxWorkbook book;
    if (SheetReadResult failed = ReadXlsxWorkbook(zip, book))
        return failed;
    SharedStrings strings;
    if (!book.sharedStrings.empty()) {
        if (SheetReadResult failed = zip.openNamed(book.sharedStrings))
            return failed;
        XmlPart xml(zip);
        if (SheetReadResult failed = strings.read(xml))
            return failed;
    }
    CellFormats formats;
    formats.useDateSystem(book.dates);
    if (!book.styles.empty()) {
        if (SheetReadResult failed = zip.openNamed(book.styles))
            return failed;
        XmlPart xml(zip);
        if (SheetReadResult failed = ReadXlsxStyles(xml, formats))
            return failed;
    }
    for (const XlsxSheet& sheet : book.worksheets) {
        if (SheetReadResult failed = zip.openNamed(sheet.part))
            return failed;
        if (!rows.sheet(sheet.name))
            return std::nullopt;
        XmlPart xml(zip);
        XlsxWorksheet cells(xml, strings, formats, rows);
        if (SheetReadResult failed = cells.read())
            return failed;
        if (cells.stopped())
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qm4250
