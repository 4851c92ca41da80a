#pragma once

#include <string>

#include "export/save_history_workbook.h"
#include "protocol/operating_mode.h"
#include "session/session_events.h"
#include "window/upload_archiver.h"

namespace qm4250 {

inline constexpr const char* kRequestPortFailure = "Can't open comm port";
inline constexpr const char* kModePortFailure = "Can't open comm port!";
inline constexpr const char* kTestInProgress = "Test is in progress! Mode cannot be changed";
inline constexpr const char* kNoResponse = "Error - No response from QM4250";
inline constexpr const char* kHistorySaved = "History data was successfully saved";
inline constexpr const char* kHistoryNotSaved = "History data was not saved";

// The status text of a line error: "Error - framing error" and the like.
const char* LineErrorText(LineError error);

// The message box of a command whose port failed.
const char* PortFailureText(Command command);

const char* SaveResultText(SaveResult result);

// What follows the record counter once the upload is archived: " · 37 new in archive", or
// " · archive not written: <reason>". The middle dot is Latin-1, as every window text.
std::string ArchiveText(const ArchiveOutcome& outcome);

// "SETUP", "CALIBRATE", "RUN" or "DATA", as txtCurrentMode shows the mode.
const char* ModeName(OperatingMode mode);

}  // namespace qm4250
