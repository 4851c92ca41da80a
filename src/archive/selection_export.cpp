#include "archive/selection_export.h"

#include <utility>
#include <variant>
#include <vector>

#include "archive/test_selection.h"
#include "export/save_history_workbook.h"

namespace qm4250 {

SelectionExport ExportSelection(const ArchiveLocation& location, const TestFilter& filter,
                                const std::string& path) {
    std::variant<std::vector<History>, ArchiveError> selected = SelectTests(location, filter);
    if (auto* error = std::get_if<ArchiveError>(&selected))
        return {*error, false, std::nullopt, 0};
    const std::vector<History>& histories = std::get<std::vector<History>>(selected);
    SaveResult saved = SaveHistories(histories, path);
    return {std::nullopt, saved.saved, std::move(saved.unwritable), TestCount(histories)};
}

}  // namespace qm4250
