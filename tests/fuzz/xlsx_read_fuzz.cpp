// Any bytes as an .xlsx file, in one of two ways the first byte's lowest bit chooses: the bytes
// are the file, so mutations reach the zip reader; or they are XML zipped here with correct CRCs,
// so mutations reach the XML readers: after NULs, the first worksheet, the shared strings, the
// styles, xl/workbook.xml and its relationships. A part left out is made here: the styles with
// dates in their cell formats, the workbook listing the worksheet, and a second one of the same
// XML when the first byte's next bit is set, counting in the 1904 date system when the bit after
// that is. Either way the reader must end in an outcome, its rows within the sheet and its cells
// valid UTF-8 of at most 1 MiB.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_target.h"
#include "sheet_checks.h"
#include "sheets/xlsx_reader.h"
#include "sheets/xlsx_text.h"
#include "xlsx_zip.h"

using namespace qm4250;

namespace {

const std::string kStyles =
    SpreadsheetXml("styleSheet",
                   "<numFmts><numFmt numFmtId=\"164\" formatCode=\"mmm dd/yy hh:mm:ss\"/>"
                   "<numFmt numFmtId=\"165\" formatCode=\"0.0 &quot;d&quot;\"/></numFmts>"
                   "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
                   "<xf numFmtId=\"165\"/><xf numFmtId=\"47\"/></cellXfs>");

std::vector<ZipPart> PartsOf(uint8_t flags, std::string_view xml) {
    std::vector<std::string> pieces;
    for (size_t at = 0; at <= xml.size() && pieces.size() < 5;) {
        size_t nul = std::min(xml.find('\0', at), xml.size());
        pieces.emplace_back(xml.substr(at, nul - at));
        at = nul + 1;
    }
    pieces.resize(5);
    XlsxPackage package;
    package.worksheets.push_back({"Sheet1", pieces[0]});
    if (flags & 2)
        package.worksheets.push_back({"Zwei", pieces[0]});
    package.sharedStrings = pieces[1];
    package.styles = pieces[2].empty() ? kStyles : pieces[2];
    package.workbookPr = flags & 4 ? "date1904=\"1\"" : "";
    std::vector<ZipPart> parts = XlsxPackageParts(package);
    if (!pieces[3].empty())
        parts = WithPart(parts, "xl/workbook.xml", pieces[3]);
    if (!pieces[4].empty())
        parts = WithPart(parts, "xl/_rels/workbook.xml.rels", pieces[4]);
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("xlsx_read_fuzz");
    InputReader input(data, size);
    uint8_t flags = input.byte();
    std::string_view rest = input.rest();
    if (flags & 1)
        FUZZ_CHECK(WriteZip(file.path(), PartsOf(flags, rest)));
    else
        file.write(rest);
    CheckedRows rows(1'048'576, kMaxCellBytes);
    CheckError(ReadXlsxRows(file.fd(), rows));
    return 0;
}
