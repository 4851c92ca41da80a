// Any bytes as an .xlsx file, in one of two ways the first byte chooses: the bytes are the file,
// so mutations reach the zip reader; or they are XML zipped here with correct CRCs, the sheet and,
// after a NUL, the shared strings, so mutations reach the XML readers. Either way the reader must
// end in an outcome, its rows within the sheet and its cells valid UTF-8 of at most 1 MiB.
#include <string>

#include "archive/xlsx_reader.h"
#include "archive/xlsx_text.h"
#include "fuzz_target.h"
#include "sheet_checks.h"
#include "xlsx_zip.h"

using namespace qm4250;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("xlsx_read_fuzz");
    InputReader input(data, size);
    bool zipHere = input.byte() & 1;
    std::string_view rest = input.rest();
    if (zipHere) {
        size_t nul = rest.find('\0');
        std::vector<ZipPart> parts{{"xl/worksheets/sheet1.xml", std::string(rest.substr(0, nul))}};
        if (nul != std::string_view::npos)
            parts.push_back({"xl/sharedStrings.xml", std::string(rest.substr(nul + 1))});
        FUZZ_CHECK(WriteZip(file.path(), parts));
    } else {
        file.write(rest);
    }
    CheckedRows rows(1'048'576, kMaxCellBytes);
    CheckError(ReadXlsxRows(file.fd(), rows));
    return 0;
}
