#include "trend/part_chart.h"

#include <utility>

namespace qm4250 {

ChartedPart DrawPartChart(const ChartPlots& plots, PartTests points, const QString& pn,
                          const SelectionJudging& judging, ChartAxis axis, const QString& title) {
    ChartedPart part;
    part.pn = pn;
    part.points = std::move(points);
    part.series = SeriesOf(part.points.tests, axis);
    ChartView view = judging.viewOf(part.series, pn, axis, title);
    part.summary = DrawControlChart(plots.chart, plots.movingRange, part.series, view);
    DrawHistogram(plots.histogram, part.series, view, part.summary);
    return part;
}

}  // namespace qm4250
