#pragma once

#include <string>

#include "archive/selection_export.h"
#include "export/save_history_workbook.h"
#include "result/failure.h"
#include "session/serial_port.h"

namespace qm4250 {

// Which test a workbook could not hold and why, on one line, what it quotes escaped and cut as
// ShownCell cuts a cell: "test Seq# 123 of SN 4711: its PN is longer than a cell holds (32,767
// characters)"; the PN is named too when another field is at fault.
std::string UnwritableTestText(const UnwritableTest& test);

// Why a file was not written, on one line: the system's words ("No space left on device"), or
// what the writer found ("worksheet \"P\": a text is not UTF-8"); NothingToWrite is "no tests
// selected".
std::string FailureText(const Failure& failure);

// Why the port failed, as PortFailureCause says it in the window: "COMM 7 is not a serial port
// number.", "/dev/ttyS0: Permission denied (the user must be in the dialout group)".
std::string PortFailureText(const PortFailure& failure);

// Why a save wrote nothing: the test at fault, or FailureText.
std::string SaveFailureText(const SaveFailure& failure);

// Why an export wrote nothing: the archive's error (ShownError), or SaveFailureText.
std::string ExportFailureText(const ExportFailure& failure);

}  // namespace qm4250
