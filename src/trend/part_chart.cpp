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
    ChartJudgement judgement = JudgeChart(ProcessOf(part.series, view), view.frozen, view.rules);
    part.summary =
        DrawControlChart(plots.chart, plots.movingRange, part.series, view, std::move(judgement));
    DrawHistogram(plots.histogram, part.series, view, part.summary);
    return part;
}

}  // namespace qm4250
