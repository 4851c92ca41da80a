#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "analysis/run_rules.h"
#include "archive/archive_connection.h"
#include "archive/archive_location.h"
#include "archive/selection_export.h"
#include "archive/test_filter.h"
#include "result/result.h"
#include "trend/chart_series.h"
#include "trend/judged_selection.h"

class QCustomPlot;

namespace qm4250 {

// What an export wrote, for the front end to say.
struct ExportCounts {
    size_t tests = 0;  // the tests written
    size_t parts = 0;  // the part numbers whose statistics were written
};
using ExportResult = Result<ExportCounts, ExportFailure>;

// What the archive window writes of what it shows, and qm4250-archive report of what a filter
// selects: each export reads the selection as judged, never the window's widgets.
class SelectionExports {
  public:
    SelectionExports(const ArchiveLocation& location, ArchiveConnection& connection,
                     const JudgedSelection& selection);

    // What the filter selects, in the format the file's extension names (.xls, .xlsx, .csv), in
    // the layout of a saved upload.
    ExportResult tests(const TestFilter& filter, const QString& path) const;
    // The statistics of every PN and the charted tests, numbers as numbers and times as dates,
    // each test with the rules it breaks and why it is left out of the limits.
    ExportResult statistics(const QString& path) const;
    // A PDF of one A4 page per part number of the selection, each headed by the filter that
    // selected it, the archive and the time; for an empty selection no file, and NothingToWrite.
    ExportResult report(const QString& path, const TestFilter& filter, ChartAxis axis) const;
    // The chart as drawn: .svg, else PNG.
    static Result<void> chart(QCustomPlot& chart, const QString& path);

  private:
    const ArchiveLocation& location_;
    ArchiveConnection& connection_;
    const JudgedSelection& selection_;
};

// The report of what the filter selects in the archive, judged by these rules, on the
// sample-number axis, without a window; fails with NothingToWrite, and writes no file, when there
// is nothing to report.
Result<void, ExportFailure> WriteArchiveReport(const ArchiveLocation& location,
                                               const TestFilter& filter,
                                               const std::vector<RunRule>& rules,
                                               const QString& path);

}  // namespace qm4250
