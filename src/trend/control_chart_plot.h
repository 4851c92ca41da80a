#pragma once

#include <QString>
#include <cstddef>
#include <optional>

#include "analysis/axis_range.h"
#include "analysis/capability.h"
#include "analysis/chart_judgement.h"
#include "analysis/control_chart.h"
#include "analysis/process_series.h"
#include "trend/chart_series.h"

class QCustomPlot;

namespace qm4250 {

// Up to this many tests every point is drawn; above it the tests within the limits become a
// density band. Time does not set it: drawn one by one (a copied pixmap each), 83,786 tests
// redraw in 68 ms and a million in 160 (bench/trend_bench). Sight does: past 50,000 tests, some
// 35 to a pixel column of a 1,400-pixel chart, the dots merge into one solid block that hides
// where the tests crowd, and the band's shading shows it instead.
inline constexpr size_t kAllPointsUpTo = 50'000;
// Past this many rule breaks, as many spread evenly are ringed and the legend counts them all.
inline constexpr size_t kRingsAtMost = 300;

// What the control chart shows of a selection, for the statistics beside it.
struct ChartSummary {
    size_t withLeak = 0;   // the chart's points
    bool density = false;  // the tests within the limits drawn as a band
    std::optional<ControlLimits> limits;
    bool frozen = false;  // the limits are a baseline's
    // The process's own limits, its mean and sigma, whichever limits judge.
    std::optional<ControlLimits> process;
    std::vector<RunRuleBreak> breaks;  // of the rules switched on, by point of the series
    size_t ruleBreaks = 0;             // points breaking at least one rule
    size_t offScale = 0;               // points beyond the fitted view, marked at its edge
    double resolution = 0;  // the smallest step between two leaks; 0 for fewer than two values
    // The fitted views, what resetting shows: every point's x; the process (the points kept in the
    // limits), the limits and the tolerance, with a margin; the ranges formed and their limits.
    AxisRange x, y, movingRangeY;
};

// What a control chart is drawn with besides its points.
struct ChartView {
    ChartAxis axis = ChartAxis::SampleNumber;
    QString title;
    std::optional<ToleranceLimits> tolerance;
    QString unit = {};  // the leak's, where the PN has one
    std::vector<RunRule> rules = kDefaultRunRules;
    std::optional<ControlLimits> frozen;  // judge by these instead of the points' own limits
    bool rejectsOutOfLimits = true;
    std::vector<bool> excluded;  // per point of the series, left out of the limits; may be empty
};

// The series as the process's limits take it: a point is kept when it is not excluded, and not a
// reject while rejects are left out.
ProcessSeries ProcessOf(const ChartSeries& series, const ChartView& view);

// An individuals chart and, under it on the same x axis, its moving-range chart, fitted to the
// process. The points, or past kAllPointsUpTo a density band with every point beyond a limit still
// drawn alone; rejects as red crosses; points left out of the limits as hollow circles; rule
// breaks ringed in orange (up to kRingsAtMost, the legend counting the rest); points beyond the
// view as triangles on its edge; power-ups as dotted verticals; UCL, CL and LCL (marked "frozen"
// when they are), and MR-bar and the moving range's UCL, each labelled with its value at the right
// edge; the tolerance's LSL and USL, where set, in purple apart from them. The moving-range chart
// shows the ranges the limits are made of. No formed moving range makes no control limit. The
// limits and the rule breaks are the judgement's, made of ProcessOf(series, view) by JudgeChart:
// the chart draws them and judges nothing itself.
ChartSummary DrawControlChart(QCustomPlot& chart, QCustomPlot& movingRange,
                              const ChartSeries& series, const ChartView& view,
                              ChartJudgement judgement);

// The histogram of the process (the points the chart keeps in its limits) in bins of whole
// measurement steps, as many as suit their number, with the normal curve of their mean and
// overall sigma in tests per bin; a note counts the tests it leaves out. Its count axis never
// runs past the tests it shows.
void DrawHistogram(QCustomPlot& plot, const ChartSeries& series, const ChartView& view,
                   const ChartSummary& chart);

}  // namespace qm4250
