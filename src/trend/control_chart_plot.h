#pragma once

#include <QtGlobal>
#include <vector>

#include "analysis/axis_range.h"
#include "analysis/control_chart.h"
#include "archive/test_points.h"

class QCustomPlot;

namespace qm4250 {

// What the control chart shows of a selection, for the statistics beside it.
struct ChartSummary {
    size_t tests = 0;     // selected
    size_t withLeak = 0;  // whose leak is a number, the chart's points
    size_t drawn = 0;     // after decimation
    std::optional<ControlLimits> limits;
    size_t ruleBreaks = 0;
    // The fitted view: every point and both limits, with a margin; what resetting the view shows.
    AxisRange x, y;
};

// Where a raw time stamp sits on the chart's time axis: the instrument's clock read as UTC.
double ChartTime(qint64 seconds);

// Draws an individuals chart of the points' leaks against time: the points (min/max-decimated to
// the plot's width), rejects as red crosses, run-rule breaks ringed in orange, power-ups as grey
// vertical ticks, and the centre line and 3-sigma limits, each labelled with its value at the
// right edge ("UCL 0.0031"). Every reject and every break is drawn, however many points there
// are. The view is fitted: see ChartSummary.
ChartSummary DrawControlChart(QCustomPlot& plot, const std::vector<TestPoint>& points);

// Puts the plot's axes back on a fitted view.
void ShowRange(QCustomPlot& plot, const AxisRange& x, const AxisRange& y);

// The histogram of the leaks, in bins of whole measurement steps, with the normal curve for the
// same mean and sigma (moving range); the view holds every bar and the curve's peak.
void DrawHistogram(QCustomPlot& plot, const std::vector<TestPoint>& points,
                   const std::optional<ControlLimits>& limits);

}  // namespace qm4250
