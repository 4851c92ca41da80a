#pragma once

#include <string>

#include "export/save_history_workbook.h"

struct HandlerContext;
struct WindowState;

inline constexpr const char* kHistorySaved = "History data was successfully saved";
inline constexpr const char* kHistoryNotSaved = "History data was not saved";

// The upload's history saved under fileName; before the first REQUEST there is none to save.
SaveResult SaveUploadedHistory(const WindowState& state, const std::string& fileName);

// SAVE: with REQUEST, CANCEL, Get Mode and Change Mode disabled, asks for a file name and saves
// the uploaded history there, under a busy cursor; the outcome goes to the status text. A
// cancelled dialog changes nothing else.
void SaveButtonClicked(HandlerContext& context);
