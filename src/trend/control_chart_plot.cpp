#include "trend/control_chart_plot.h"

#include <qcustomplot.h>

#include "analysis/chart_data.h"

namespace qm4250 {

namespace {

constexpr int kHistogramBins = 30;

QCPGraph* Scatter(QCustomPlot& plot, const QString& name, QCPScatterStyle style) {
    QCPGraph* graph = plot.addGraph();
    graph->setName(name);
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setScatterStyle(style);
    return graph;
}

void Level(QCustomPlot& plot, const QString& name, double y, double from, double to, QPen pen) {
    QCPGraph* line = plot.addGraph();
    line->setName(name);
    line->setPen(pen);
    line->setData({from, to}, {y, y});
}

}  // namespace

double ChartTime(qint64 seconds) {
    constexpr qint64 kUnixTimeOf2004 = 1072915200;
    return static_cast<double>(seconds + kUnixTimeOf2004);
}

ChartSummary DrawControlChart(QCustomPlot& plot, const std::vector<TestPoint>& points) {
    plot.clearGraphs();
    plot.clearItems();
    ChartSummary summary;
    summary.tests = points.size();
    std::vector<ChartPoint> chartPoints;
    std::vector<const TestPoint*> sources;
    for (const TestPoint& point : points) {
        if (!point.leak)
            continue;
        chartPoints.push_back({ChartTime(point.seconds), *point.leak});
        sources.push_back(&point);
    }
    summary.withLeak = chartPoints.size();
    std::vector<double> leaks;
    for (const ChartPoint& point : chartPoints)
        leaks.push_back(point.y);
    summary.limits = IndividualsLimits(leaks);
    RuleBreaks breaks = summary.limits ? FindRuleBreaks(leaks, *summary.limits) : RuleBreaks{};
    summary.ruleBreaks = breaks.count();

    QCPGraph* tests = Scatter(plot, "tests", QCPScatterStyle(QCPScatterStyle::ssDisc, 4));
    QCPGraph* rejects = Scatter(
        plot, "rejects", QCPScatterStyle(QCPScatterStyle::ssCross, QPen(Qt::red, 2), Qt::red, 8));
    QCPGraph* broken = Scatter(
        plot, "rule breaks",
        QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(QColor(255, 140, 0), 2), Qt::NoBrush, 10));
    for (size_t i : DecimateMinMax(chartPoints, static_cast<size_t>(std::max(plot.width(), 100))))
        tests->addData(chartPoints[i].x, chartPoints[i].y);
    summary.drawn = static_cast<size_t>(tests->dataCount());
    for (size_t i = 0; i < chartPoints.size(); ++i) {
        if (sources[i]->reject)
            rejects->addData(chartPoints[i].x, chartPoints[i].y);
        if (!breaks.beyondLimits.empty() && (breaks.beyondLimits[i] || breaks.longRun[i]))
            broken->addData(chartPoints[i].x, chartPoints[i].y);
    }
    if (!chartPoints.empty()) {
        double from = chartPoints.front().x, to = chartPoints.back().x;
        if (summary.limits) {
            Level(plot, "mean", summary.limits->mean, from, to, QPen(Qt::darkGreen));
            QPen limitPen(Qt::darkRed, 1, Qt::DashLine);
            Level(plot, "+3 sigma", summary.limits->upper, from, to, limitPen);
            Level(plot, "-3 sigma", summary.limits->lower, from, to, limitPen);
        }
        for (const TestPoint& point : points) {
            if (!point.powerUp)
                continue;
            auto* tick = new QCPItemStraightLine(&plot);
            tick->setPen(QPen(Qt::gray, 1, Qt::DotLine));
            tick->point1->setCoords(ChartTime(point.seconds), 0);
            tick->point2->setCoords(ChartTime(point.seconds), 1);
        }
    }
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat("yyyy-MM-dd\nHH:mm");
    ticker->setDateTimeSpec(Qt::UTC);
    plot.xAxis->setTicker(ticker);
    plot.xAxis->setLabel("tested at (instrument's clock)");
    plot.yAxis->setLabel("leak");
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot.rescaleAxes();
    plot.replot();
    return summary;
}

void DrawHistogram(QCustomPlot& plot, const std::vector<TestPoint>& points,
                   const std::optional<ControlLimits>& limits) {
    plot.clearPlottables();
    std::vector<double> leaks;
    for (const TestPoint& point : points)
        if (point.leak)
            leaks.push_back(*point.leak);
    Histogram histogram = MakeHistogram(leaks, kHistogramBins);
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setName("tests");
    bars->setWidth(histogram.width);
    for (size_t bin = 0; bin < histogram.counts.size(); ++bin)
        bars->addData(histogram.start + (static_cast<double>(bin) + 0.5) * histogram.width,
                      static_cast<double>(histogram.counts[bin]));
    if (limits && limits->sigmaMovingRange > 0 && !leaks.empty()) {
        QCPGraph* curve = plot.addGraph();
        curve->setName("normal");
        curve->setPen(QPen(Qt::darkBlue, 2));
        double scale = static_cast<double>(leaks.size()) * histogram.width;
        double from = limits->mean - 4 * limits->sigmaMovingRange;
        double to = limits->mean + 4 * limits->sigmaMovingRange;
        for (int i = 0; i <= 200; ++i) {
            double x = from + (to - from) * i / 200;
            curve->addData(x, scale * NormalDensity(x, limits->mean, limits->sigmaMovingRange));
        }
    }
    plot.xAxis->setLabel("leak");
    plot.yAxis->setLabel("tests");
    plot.rescaleAxes();
    plot.replot();
}

}  // namespace qm4250
