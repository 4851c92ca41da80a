#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "analysis/chart_judgement.h"
#include "analysis/part_statistics.h"
#include "archive/archive_connection.h"
#include "archive/exclusions.h"
#include "archive/frozen_limits.h"
#include "archive/part_limits.h"
#include "archive/test_points.h"
#include "result/result.h"
#include "trend/chart_series.h"
#include "trend/control_chart_plot.h"

namespace qm4250 {

// A PN's tolerance as the engineer sets it: its limits, and the unit its leak is measured in
// (empty: none).
struct PartTolerance {
    ToleranceLimits limits;
    QString unit;
};

// What judges a selection's tests besides their values: each PN's tolerance and frozen limits as
// the archive keeps them, the tests left out of the limits, and the engineer's choices.
struct SelectionJudging {
    std::map<QString, PartLimits> tolerances;
    std::map<QString, FrozenLimits> frozen;
    std::map<qint64, Exclusion> exclusions;
    std::vector<RunRule> rules = kDefaultRunRules;
    bool rejectsOutOfLimits = true;
    bool judgeByFrozen = true;  // where a PN has frozen limits; else by the selection's own

    std::optional<ToleranceLimits> toleranceOf(const QString& pn) const;
    // The unit of the PN's leak; empty where it has none.
    QString unitOf(const QString& pn) const;
    // The PN's frozen limits when they judge.
    std::optional<ControlLimits> frozenOf(const QString& pn) const;
    // Whether the test makes its PN's limits: not left out, and not a reject when rejects are.
    bool inLimits(const TestPoint& test) const;

    // The chart of one PN's tests; a null PN charts every PN pooled, by their own limits and
    // without a tolerance.
    ChartView viewOf(const ChartSeries& series, const QString& pn, ChartAxis axis,
                     const QString& title) const;
    // A test as the statistics read it: kept when it has a numeric leak and makes the limits.
    TestReading readingOf(const TestPoint& test) const;
    // The statistics of one PN's tests as readingOf reads them, every one, in time order.
    PartStatistics statisticsOf(const QString& pn, const std::vector<TestReading>& tests) const;
};

// The tolerances, frozen limits and exclusions that stand for these PNs; the choices as given.
Result<SelectionJudging, ArchiveError> ReadJudging(ArchiveConnection& connection,
                                                   const std::vector<QString>& pns,
                                                   SelectionJudging choices);

// A line of a chart's lists: a rule a test broke, or why it was left out of the limits.
struct ListedTest {
    const TestPoint* test;
    double leak;
    QString what;
};

// The first breaks, up to atMost, in the order of the tests, a test breaking two rules listed
// twice; the summary counts them all. A million tests may break a rule a million times.
std::vector<ListedTest> BreakList(const ChartSeries& series, const ChartSummary& summary,
                                  size_t atMost);
// The tests of the series left out of the limits, with their reason, who left them out and when.
std::vector<ListedTest> ExclusionList(const ChartSeries& series, const SelectionJudging& judging);

}  // namespace qm4250
