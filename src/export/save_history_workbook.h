#pragma once

#include <string>

#include "session/window_state.h"

// Saves rows 0 to RecordIndex of Records under fileName, in the format its extension names
// (.xls, .xlsx or .csv; anything else gets .xls), replacing an existing file only once the new
// one is complete. Returns the status text to show: "History data was successfully saved" or
// "History data was not saved".
std::string SaveHistoryWorkbook(const WindowState& state, const std::string& fileName);
