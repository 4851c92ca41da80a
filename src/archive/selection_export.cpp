#include "archive/selection_export.h"

#include <utility>
#include <vector>

#include "archive/test_selection.h"

namespace qm4250 {

ExportFailure ExportFailureOf(const SaveFailure& failure) {
    return std::visit([](const auto& cause) { return ExportFailure(cause); }, failure);
}

Result<size_t, ExportFailure> ExportSelection(const ArchiveLocation& location,
                                              const TestFilter& filter, const std::string& path) {
    Result<std::vector<History>, ArchiveError> selected = SelectTests(location, filter);
    if (!selected)
        return ExportFailure(selected.error());
    const std::vector<History>& histories = selected.value();
    if (SaveResult saved = SaveHistories(histories, path); !saved)
        return ExportFailureOf(saved.error());
    return TestCount(histories);
}

}  // namespace qm4250
