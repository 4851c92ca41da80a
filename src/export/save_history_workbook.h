#pragma once

#include <string>
#include <variant>
#include <vector>

#include "export/unwritable_test.h"
#include "protocol/history.h"
#include "result/result.h"

namespace qm4250 {

// Why a history was not saved: a test no workbook can hold, or why the file could not be written.
using SaveFailure = std::variant<UnwritableTest, Failure>;
using SaveResult = Result<void, SaveFailure>;

// Saves the history under fileName, in the format its extension names (.xls, .xlsx or .csv;
// anything else gets .xls), replacing an existing file only once the new one is complete. A
// workbook is not written when a test has a field longer than a cell holds.
SaveResult SaveHistory(const History& history, const std::string& fileName);

// Saves the histories of several instruments so that every test keeps its instrument: a workbook
// holds one worksheet for each, named by its serial and laid out as SaveHistory lays out one; a
// .csv holds them one after another under one header row, each after its identification row.
// One history (or none) is saved as SaveHistory saves it.
SaveResult SaveHistories(const std::vector<History>& histories, const std::string& fileName);

}  // namespace qm4250
