#pragma once

#include <string>

#include "export/save_history_workbook.h"
#include "protocol/operating_mode.h"
#include "session/serial_port.h"
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

// Why, its second line: "COMM 7 is not a serial port number.", "/dev/ttyS0: Permission denied (the
// user must be in the dialout group)", "/dev/ttyUSB0: the port is not open".
std::string PortFailureCause(const PortFailure& failure);

// Why a file was not written: the system's words ("No space left on device"), or what the
// writer found.
std::string FailureCause(const Failure& failure);

// "History data was successfully saved", or "History data was not saved" and why: ": No space
// left on device", or the test at fault: ": test Seq# 123 of SN 4711: its PN is longer than a
// cell holds (32,767 characters)".
std::string SaveResultText(const SaveResult& result);

// What follows the record counter while the upload is archived, in UTF-8 as the whole counter.
inline constexpr const char* kArchivingText = " \u00B7 archiving\u2026";

// ... while a failure that may pass is waited out, the write to be tried again:
// " · archiving… (waiting for the archive: <reason>)".
std::string WaitingForArchiveText(const std::string& reason);

// ... and once it is archived: " · 37 new in archive", or " · archive not written: <reason>".
std::string ArchiveOutcomeText(const ArchiveOutcome& outcome);

// Panel 1 when the device went away during an exchange: "Error - port closed: <reason>".
std::string PortLostText(const std::string& reason);

// "SETUP", "CALIBRATE", "RUN" or "DATA", as txtCurrentMode shows the mode.
const char* ModeName(OperatingMode mode);

}  // namespace qm4250
