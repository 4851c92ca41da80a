#pragma once

#include <QString>
#include <span>
#include <utility>
#include <vector>

#include "archive/test_points.h"
#include "trend/chart_series.h"
#include "trend/control_chart_plot.h"
#include "trend/selection_judging.h"

class QCustomPlot;

namespace qm4250 {

// Where a part's charts are drawn.
struct ChartPlots {
    QCustomPlot& chart;
    QCustomPlot& movingRange;
    QCustomPlot& histogram;
};

// A part number's tests in time order: picked out of a selection into a vector of their own, or
// the selection's very tests where it holds no other part (a million tests are not copied to be
// charted), which must then outlive them. Moved, never copied: `tests` may point into `picked`.
struct PartTests {
    std::vector<TestPoint> picked;
    std::span<const TestPoint> tests;

    PartTests() = default;
    explicit PartTests(std::vector<TestPoint> own) : picked(std::move(own)), tests(picked) {}
    explicit PartTests(std::span<const TestPoint> borrowed) : tests(borrowed) {}
    PartTests(PartTests&&) = default;
    PartTests& operator=(PartTests&&) = default;
};

// One part number's tests as charted (or every part number's, pooled), and what the chart judged
// of them. Moved, never copied: the series points into the tests.
struct ChartedPart {
    QString pn;  // null when every PN is pooled
    PartTests points;
    ChartSeries series;  // those with a numeric leak
    ChartSummary summary;
};

// The individuals chart of the tests with its moving-range chart and the histogram, judged as
// `judging` says for the PN: by its frozen limits and tolerance where it has them, and by its own
// limits and no tolerance when pooled.
ChartedPart DrawPartChart(const ChartPlots& plots, PartTests points, const QString& pn,
                          const SelectionJudging& judging, ChartAxis axis, const QString& title);

}  // namespace qm4250
