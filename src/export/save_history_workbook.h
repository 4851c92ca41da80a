#pragma once

#include <string>

#include "protocol/history.h"

namespace qm4250 {

enum class SaveResult { Saved, NotSaved };

// Saves the history under fileName, in the format its extension names (.xls, .xlsx or .csv;
// anything else gets .xls), replacing an existing file only once the new one is complete.
SaveResult SaveHistory(const History& history, const std::string& fileName);

}  // namespace qm4250
