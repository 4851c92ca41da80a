#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/selection_export.h"
#include "archive/test_filter.h"
#include "archive/test_points.h"
#include "result/result.h"
#include "trend/chart_series.h"
#include "trend/selection_judging.h"

namespace qm4250 {

// What each page of a report says about where its tests come from.
struct ReportHeading {
    QString filter;   // the filter that selected them, in words
    QString archive;  // where, without a password
    QDateTime made;   // when the report was made, local time
};

// One A4 landscape page per part number of the selection, the most tested first: the
// individuals chart with its labelled limits (and its tolerance limits, where the PN has
// any), the moving-range chart and the histogram, the part's statistics and capability, the
// heading with the page's number of all, and the list of rule breaks and of tests left out of the
// limits, going on over further pages where it must (up to kListedAtMost lines a PN). The
// connection gives each listed test its Seq# and, where the tests come from several instruments,
// its instrument; where it cannot, nothing is written and the archive's error says why. Written
// as SaveThroughDevice saves, failing with the system's reason.
inline constexpr size_t kListedAtMost = 600;
Result<void, ExportFailure> WriteReport(const QString& path, ArchiveConnection& connection,
                                        const SelectedTests& selected,
                                        const SelectionJudging& judging,
                                        const ReportHeading& heading, ChartAxis axis,
                                        bool severalInstruments);

// The filter in words, for a heading: "instrument 4711, PN A-1, from 2026-11-01", "all tests".
QString FilterDescription(const TestFilter& filter);

}  // namespace qm4250
