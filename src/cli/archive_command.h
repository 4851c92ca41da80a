#pragma once

#include <QString>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "analysis/run_rules.h"
#include "archive/archive_location.h"
#include "archive/selection_export.h"
#include "archive/test_filter.h"
#include "result/result.h"

namespace qm4250 {

// Writes the PDF report of what a filter selects, judged by these run rules, or says why not. The
// report is drawn by the archive window's charts, which this layer does not reach: the program
// passes it.
using ReportWriter = std::function<Result<void, ExportFailure>(
    const ArchiveLocation& location, const TestFilter& filter, const std::vector<RunRule>& rules,
    const QString& path)>;

// qm4250-archive import FILE…, export FILE [filters] and report FILE.pdf [filters]: brings saved
// workbooks into the archive, writes selections of it with the workbook writers, and reports on
// them; --help and --version. Reports on `out`, errors on `err`; returns the exit status.
int RunArchiveCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
                      const ReportWriter& report = {});

extern const char* const kArchiveCommandHelp;

}  // namespace qm4250
