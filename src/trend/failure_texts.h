#pragma once

#include <QString>

#include "archive/selection_export.h"
#include "trend/judging_changes.h"

namespace qm4250 {

// Why an export wrote nothing, as the archive window says it after "The report was not written: "
// and the like: the archive's error; "no tests selected"; else the file and why: "/media/r.pdf:
// No space left on device", "/media/s.xls: test Seq# 123 of SN 4711: its PN is longer than a cell
// holds (32,767 characters)".
QString ExportFailureText(const ExportFailure& failure, const QString& path);

// A read of the archive that failed, as the window's lists, tooltips and summary say it: "The
// archive cannot be read: <the archive's error>".
QString NotReadText(const ArchiveError& error);

// A change to the judging that was not kept, as the window's summary says it: "The exclusion
// was not kept: <the archive's error>", "The limits were not frozen: the baseline (first 100
// tests) holds 1 tests that make limits, …".
QString RefusalText(const JudgingRefusal& refusal);

}  // namespace qm4250
