#pragma once

#include <QString>

#include "archive/selection_export.h"

namespace qm4250 {

// Why an export wrote nothing, as the archive window says it after "The report was not written: "
// and the like: the archive's error; "no tests selected"; else the file and why: "/media/r.pdf:
// No space left on device", "/media/s.xls: test Seq# 123 of SN 4711: its PN is longer than a cell
// holds (32,767 characters)".
QString ExportFailureText(const ExportFailure& failure, const QString& path);

}  // namespace qm4250
