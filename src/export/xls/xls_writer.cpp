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

std::optional<std::string> XlsFile(const std::vector<NamedSheet>& sheets) {
    SharedStrings strings;
    std::vector<std::string> worksheets;
    std::vector<std::string> names;
    for (const NamedSheet& sheet : sheets) {
        std::optional<std::string> worksheet =
            BuildWorksheet(sheet.cells, strings, worksheets.empty());
        if (!worksheet)
            return std::nullopt;
        worksheets.push_back(std::move(*worksheet));
        names.push_back(sheet.name);
    }
    WorkbookGlobals globals = BuildWorkbookGlobals(strings, names);
    std::string stream = std::move(globals.bytes);
    for (size_t k = 0; k < worksheets.size(); ++k) {
        SetU32(stream, globals.sheetOffsetFields[k], static_cast<uint32_t>(stream.size()));
        stream += worksheets[k];
    }
    if (stream.size() < kMinStreamSize)
        stream.resize(kMinStreamSize, '\0');
    return BuildCompoundFile(stream);
}

std::optional<std::string> XlsFile(const CellTable& table) {
    return XlsFile(std::vector<NamedSheet>{{kFirstSheetName, table}});
}

}  // namespace qm4250
