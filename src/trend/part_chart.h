#pragma once

#include <QString>
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

// One part number's tests as charted (or every part number's, pooled), and what the chart judged
// of them. Moved, never copied: the series points into the tests.
struct ChartedPart {
    QString pn;                     // null when every PN is pooled
    std::vector<TestPoint> points;  // in time order
    ChartSeries series;             // those with a numeric leak
    ChartSummary summary;

    ChartedPart() = default;
    ChartedPart(ChartedPart&&) = default;
    ChartedPart& operator=(ChartedPart&&) = default;
};

// The individuals chart of the tests with its moving-range chart and the histogram, judged as
// `judging` says for the PN: by its frozen limits and tolerance where it has them, and by its own
// limits and no tolerance when pooled.
ChartedPart DrawPartChart(const ChartPlots& plots, std::vector<TestPoint> points, const QString& pn,
                          const SelectionJudging& judging, ChartAxis axis, const QString& title);

}  // namespace qm4250
