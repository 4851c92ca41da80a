#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/axis_range.h"
#include "analysis/subgroup_chart.h"
#include "archive/test_points.h"
#include "trend/chart_series.h"

class QCustomPlot;

namespace qm4250 {

enum class SubgroupBy { Consecutive, Hour, Shift };

// What the subgroup charts are made of: the tests with a numeric leak, in time order.
struct SubgroupChoice {
    SpreadStatistic statistic = SpreadStatistic::Range;
    SubgroupBy by = SubgroupBy::Consecutive;
    int size = 5;  // tests in a row, kSmallestSubgroup to kLargestSubgroup
    std::vector<int> shiftStarts{6 * 60, 14 * 60, 22 * 60};  // minutes after midnight
    // The subgroup number, or the time of the subgroup's first test.
    ChartAxis axis = ChartAxis::SampleNumber;
};

// What the subgroup charts show, for the window: its counts, and the fitted views (every point
// and every limit, with a margin) that resetting the view shows.
struct SubgroupChartSummary {
    size_t subgroups = 0;
    size_t meansBeyond = 0;
    size_t spreadsBeyond = 0;
    size_t leftOut = 0;  // subgroups too large for an R chart
    std::optional<SubgroupChart> chart;
    AxisRange x, meansY, spreadY;
};

// The X̄ chart in `means` and, under it on the same x axis, the R or S chart in `spread`: the
// subgroups joined in time order, every one beyond a limit in red. A limit the same for every
// subgroup is a line across the view labelled with its value at the right edge, as the
// individuals chart's; limits that step with the sizes of subgroups by time are step lines,
// labelled "UCL (varies)" beside the last step. A spread's lower limit at zero throughout is not
// drawn. No subgroup: the axes without points or limits.
SubgroupChartSummary DrawSubgroupChart(QCustomPlot& means, QCustomPlot& spread,
                                       const std::vector<TestPoint>& tests,
                                       const SubgroupChoice& choice, const QString& pn,
                                       const QString& unit);

struct RejectRateSummary {
    size_t days = 0;
    size_t beyond = 0;
    std::optional<ProportionChart> chart;  // as fractions
    AxisRange x, y;                        // y in percent, as drawn
};

// The p-chart of the tests' reject rate per day of the instrument's clock, in percent of the
// day's tests (every test counts, a leak that is not a number too): p̄ as the centre line, the
// limits stepping with each day's number of tests (a lower limit at zero throughout is not
// drawn), the days beyond a limit in red, x the day on a date axis.
RejectRateSummary DrawRejectRateChart(QCustomPlot& plot, const std::vector<TestPoint>& tests,
                                      const QString& pn);

}  // namespace qm4250
