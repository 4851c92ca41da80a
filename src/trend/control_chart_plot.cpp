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

QString Number(double value) {
    return QString::number(value, 'g', 5);
}

// A limit across the whole view, its name and value at the right edge above it.
void Level(QCustomPlot& plot, const QString& name, double y, QPen pen) {
    auto* line = new QCPItemStraightLine(&plot);
    line->setPen(pen);
    line->point1->setCoords(0, y);
    line->point2->setCoords(1, y);
    auto* label = new QCPItemText(&plot);
    label->setObjectName(name);
    label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    label->position->setTypeY(QCPItemPosition::ptPlotCoords);
    label->position->setCoords(1, y);
    label->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
    label->setColor(pen.color());
    label->setText(name + " " + Number(y));
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
    std::vector<double> marks;
    if (summary.limits) {
        Level(plot, "CL", summary.limits->mean, QPen(Qt::darkGreen));
        QPen limitPen(Qt::darkRed, 1, Qt::DashLine);
        Level(plot, "UCL", summary.limits->upper, limitPen);
        Level(plot, "LCL", summary.limits->lower, limitPen);
        marks = {summary.limits->lower, summary.limits->upper};
    }
    if (!chartPoints.empty()) {
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
    std::vector<double> times;
    for (const ChartPoint& point : chartPoints)
        times.push_back(point.x);
    summary.x = PaddedRange(times);
    summary.y = PaddedRange(leaks, marks);
    ShowRange(plot, summary.x, summary.y);
    return summary;
}

void ShowRange(QCustomPlot& plot, const AxisRange& x, const AxisRange& y) {
    plot.xAxis->setRange(x.lower, x.upper);
    plot.yAxis->setRange(y.lower, y.upper);
    plot.replot();
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
    double highest = 0;
    for (size_t bin = 0; bin < histogram.counts.size(); ++bin) {
        bars->addData(histogram.start + (static_cast<double>(bin) + 0.5) * histogram.width,
                      static_cast<double>(histogram.counts[bin]));
        highest = std::max(highest, static_cast<double>(histogram.counts[bin]));
    }
    if (limits && limits->sigmaMovingRange > 0 && !leaks.empty()) {
        QCPGraph* curve = plot.addGraph();
        curve->setName("normal");
        curve->setPen(QPen(Qt::darkBlue, 2));
        double scale = static_cast<double>(leaks.size()) * histogram.width;
        double from = limits->mean - 4 * limits->sigmaMovingRange;
        double to = limits->mean + 4 * limits->sigmaMovingRange;
        for (int i = 0; i <= 200; ++i) {
            double x = from + (to - from) * i / 200;
            double y = scale * NormalDensity(x, limits->mean, limits->sigmaMovingRange);
            curve->addData(x, y);
            highest = std::max(highest, y);
        }
    }
    plot.xAxis->setLabel("leak");
    plot.yAxis->setLabel("tests");
    double end = histogram.start + static_cast<double>(histogram.counts.size()) * histogram.width;
    double edges[] = {histogram.start, end};
    double heights[] = {0, highest};
    ShowRange(plot, PaddedRange(edges), {0, PaddedRange(heights).upper});
}

}  // namespace qm4250
