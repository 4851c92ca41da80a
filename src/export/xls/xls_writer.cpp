#include "export/xls/xls_writer.h"

#include "export/xls/compound_file.h"
#include "export/xls/little_endian.h"
#include "export/xls/shared_strings.h"
#include "export/xls/workbook_globals.h"
#include "export/xls/worksheet.h"

namespace qm4250 {

namespace {

// A shorter stream would go to the mini stream, where some readers do not look for it.
constexpr size_t kMinStreamSize = 4096;

}  // namespace

std::optional<std::string> XlsFile(const CellTable& table) {
    SharedStrings strings;
    std::optional<std::string> sheet = BuildWorksheet(table, strings);
    if (!sheet)
        return std::nullopt;
    WorkbookGlobals globals = BuildWorkbookGlobals(strings);
    std::string stream = std::move(globals.bytes);
    SetU32(stream, globals.sheetOffsetField, static_cast<uint32_t>(stream.size()));
    stream += *sheet;
    if (stream.size() < kMinStreamSize)
        stream.resize(kMinStreamSize, '\0');
    return BuildCompoundFile(stream);
}

}  // namespace qm4250
