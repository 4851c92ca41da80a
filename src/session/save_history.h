#pragma once

#include <string>

#include "export/save_history_workbook.h"

namespace qm4250 {

struct HandlerContext;
class ExchangeState;

// The upload's history saved under fileName; before the first REQUEST there is none to save.
SaveResult SaveUploadedHistory(const ExchangeState& state, const std::string& fileName);

// SAVE: asks for a file name and saves the uploaded history there. A cancelled dialog saves
// nothing.
void SaveClicked(HandlerContext& context);

}  // namespace qm4250
