#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "analysis/part_statistics.h"
#include "archive/archive_connection.h"
#include "archive/archive_error.h"
#include "archive/test_filter.h"
#include "archive/test_points.h"
#include "trend/part_chart.h"
#include "trend/selection_judging.h"

namespace qm4250 {

// What the archive window's parts share, and what a report is made of: the tests a filter
// selected, what judges them, and the chart of the PN charted.
struct JudgedSelection {
    SelectedTests selected;
    SelectionJudging judging;
    ChartedPart charted;
};

// Why a selection was not judged: its tests, or the limits and exclusions of their PNs, could not
// be read.
struct SelectionNotRead {
    enum class What { Tests, Judging };
    What what = What::Tests;
    ArchiveError error;
};

// The tests the filter selects and the tolerances, frozen limits and exclusions that stand for
// their PNs, judged by the choices given; nothing charted yet. Any error fails the whole of it.
std::variant<JudgedSelection, SelectionNotRead> SelectAndJudge(ArchiveConnection& connection,
                                                               const TestFilter& filter,
                                                               SelectionJudging choices);

struct PnCount {
    QString pn;
    uint32_t part = 0;  // its index into the selection's PNs
    size_t tests = 0;
};

// The selection's part numbers, the most tested first, then in the order of their text.
std::vector<PnCount> PnsByCount(const SelectedTests& selected);

// The tests of one part number, in time order: the selection's own where it holds no other.
PartTests TestsOf(const SelectedTests& selected, const QString& pn);

// The tests of each part number, by its index into the selection's PNs.
std::vector<std::vector<TestPoint>> TestsByPart(const SelectedTests& selected);

// The statistics of each part number, in the order of their text.
std::vector<PartStatistics> StatisticsPerPart(const SelectedTests& selected,
                                              const SelectionJudging& judging);

}  // namespace qm4250
