#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/run_rules.h"
#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/archive_location.h"
#include "archive/test_filter.h"
#include "export/unwritable_test.h"
#include "trend/chart_series.h"
#include "trend/judged_selection.h"

class QCustomPlot;

namespace qm4250 {

// What an export came to, for the front end to say.
struct ExportOutcome {
    std::optional<ArchiveError> notRead;  // the archive could not be read: nothing was written
    bool written = false;                 // else whether the file was written whole
    size_t tests = 0;                     // the tests written
    size_t parts = 0;                     // the part numbers whose statistics were written
    std::optional<UnwritableTest> unwritable = std::nullopt;  // not written: the test at fault
};

// What the archive window writes of what it shows, and qm4250-archive report of what a filter
// selects: each export reads the selection as judged, never the window's widgets.
class SelectionExports {
  public:
    SelectionExports(const ArchiveLocation& location, ArchiveConnection& connection,
                     const JudgedSelection& selection);

    // What the filter selects, in the format the file's extension names (.xls, .xlsx, .csv), in
    // the layout of a saved upload.
    ExportOutcome tests(const TestFilter& filter, const QString& path) const;
    // The statistics of every PN and the charted tests, numbers as numbers and times as dates,
    // each test with the rules it breaks and why it is left out of the limits.
    ExportOutcome statistics(const QString& path) const;
    // A PDF of one A4 page per part number of the selection, each headed by the filter that
    // selected it, the archive and the time; nothing for an empty selection.
    ExportOutcome report(const QString& path, const TestFilter& filter, ChartAxis axis) const;
    // The chart as drawn: .svg, else PNG.
    static ExportOutcome chart(QCustomPlot& chart, const QString& path);

  private:
    const ArchiveLocation& location_;
    ArchiveConnection& connection_;
    const JudgedSelection& selection_;
};

// The report of what the filter selects in the archive, judged by these rules, on the
// sample-number axis, without a window; none when written, else why not ("no tests selected" when
// there is nothing to report: no file is written then).
std::optional<QString> WriteArchiveReport(const ArchiveLocation& location, const TestFilter& filter,
                                          const std::vector<RunRule>& rules, const QString& path);

}  // namespace qm4250
