#include "export/xls/xls_writer.h"

#include <algorithm>
#include <string_view>

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
    std::vector<std::string_view> stream{globals.bytes};
    size_t streamSize = globals.bytes.size();
    for (size_t k = 0; k < worksheets.size(); ++k) {
        SetU32(globals.bytes, globals.sheetOffsetFields[k], static_cast<uint32_t>(streamSize));
        stream.push_back(worksheets[k]);
        streamSize += worksheets[k].size();
    }
    std::string padding(kMinStreamSize - std::min(streamSize, kMinStreamSize), '\0');
    stream.push_back(padding);
    return BuildCompoundFile(stream);
}

std::optional<std::string> XlsFile(const CellTable& table) {
    return XlsFile(std::vector<NamedSheet>{{kFirstSheetName, table}});
}

}  // namespace qm4250
