#include "trend/control_chart_plot.h"

#include <qcustomplot.h>

#include <QLocale>

#include "analysis/chart_data.h"
#include "analysis/density_grid.h"
#include "analysis/normal_distribution.h"
#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

constexpr int kHistogramBins = 30;
constexpr size_t kDensityRows = 160;
const QColor kPointColour(30, 70, 160);
const QColor kBreakColour(255, 140, 0);
const QColor kToleranceColour(128, 0, 160);

void Clear(QCustomPlot& plot) {
    plot.clearPlottables();
    plot.clearItems();
    plot.legend->setVisible(false);
}

// The individuals and moving-range charts share their x axis: the same left margin keeps a
// sample at the same place in both, whatever width their y labels take.
constexpr int kLeftMargin = 86;

void SetXAxis(QCustomPlot& plot, ChartAxis axis) {
    plot.axisRect()->setAutoMargins(QCP::msTop | QCP::msBottom);
    plot.axisRect()->setMargins(QMargins(kLeftMargin, 0, kLabelMargin, 0));
    if (axis == ChartAxis::Time) {
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeFormat("yyyy-MM-dd\nHH:mm");
        ticker->setDateTimeSpec(Qt::UTC);
        plot.xAxis->setTicker(ticker);
        plot.xAxis->setLabel("tested at (instrument's clock)");
    } else {
        plot.xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        plot.xAxis->setLabel("sample number (tests in time order)");
    }
}

// A test's dot, painted once: copying a pixmap is many times faster than painting a circle for
// each of tens of thousands of tests.
const QPixmap& DiscPixmap() {
    static const QPixmap disc = [] {
        QPixmap pixmap(5, 5);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kPointColour);
        painter.drawEllipse(QRectF(0.5, 0.5, 4, 4));
        return pixmap;
    }();
    return disc;
}

// The points `dot` marks drawn one by one: all of them, or past the threshold only those `alone`
// marks, the rest as a density band over the view.
void DrawPoints(QCustomPlot& plot, const std::vector<double>& xs, const std::vector<double>& ys,
                const std::vector<bool>& dot, const std::vector<bool>& alone, const AxisRange& x,
                const AxisRange& y, double step) {
    QCPGraph* points = AddScatter(plot, "tests", QCPScatterStyle(DiscPixmap()));
    bool density = xs.size() > kAllPointsUpTo;
    QVector<QCPGraphData> drawn;
    drawn.reserve(density ? 0 : static_cast<qsizetype>(xs.size()));
    for (size_t i = 0; i < xs.size(); ++i)
        if (dot[i] && (!density || alone[i]))
            drawn.append({xs[i], ys[i]});
    points->data()->set(drawn, true);  // in x order already
    if (!density)
        return;
    std::vector<bool> banded(alone.size());
    for (size_t i = 0; i < alone.size(); ++i)
        banded[i] = dot[i] && !alone[i];
    // Readings come in steps of the instrument's resolution: where there are fewer steps than
    // rows, one row for each step, centred on it, so that the band shows no empty rows between
    // them.
    AxisRange band = y;
    size_t rows = kDensityRows;
    auto [lowest, highest] = std::minmax_element(ys.begin(), ys.end());
    if (double steps = std::round((*highest - *lowest) / step) + 1;
        step > 0 && steps <= static_cast<double>(kDensityRows)) {
        rows = static_cast<size_t>(steps);
        band = {*lowest - step / 2, *highest + step / 2};
    }
    // A cell two pixels wide holds enough tests for its shade to mean something.
    size_t columns = static_cast<size_t>(std::max(plot.width() / 2, 200));
    AddDensity(plot, "tests within the limits (density)",
               CountDensity(xs, ys, banded, columns, rows, x, band), kPointColour);
}

QString Thousands(size_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

size_t RingBreaks(QCustomPlot& plot, const ChartSeries& series, const std::vector<bool>& broken) {
    QCPGraph* ringed = AddScatter(
        plot, "rule breaks",
        QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(kBreakColour, 2), Qt::NoBrush, 10));
    std::vector<size_t> indices;
    for (size_t i = 0; i < broken.size(); ++i)
        if (broken[i])
            indices.push_back(i);
    // Evenly spread over the selection, so that no stretch of it looks free of breaks.
    size_t shown = std::min(indices.size(), kRingsAtMost);
    for (size_t k = 0; k < shown; ++k) {
        size_t i = indices[k * indices.size() / shown];
        ringed->addData(series.x[i], series.y[i]);
    }
    if (indices.size() > kRingsAtMost)
        ringed->setName(Thousands(indices.size()) + " rule breaks, " + Thousands(kRingsAtMost) +
                        " ringed");
    return indices.size();
}

AxisRange DrawMovingRange(QCustomPlot& plot, const ChartSeries& series, const ChartSummary& chart) {
    const std::optional<ControlLimits>& limits = chart.limits;
    Clear(plot);
    std::vector<double> ranges = MovingRanges(series.y);
    std::vector<double> xs(series.x.begin() + (series.x.empty() ? 0 : 1), series.x.end());
    std::vector<double> marks{0};
    std::vector<bool> above(ranges.size());
    if (limits) {
        AddLevel(plot, "MR-bar", limits->averageMovingRange, QPen(Qt::darkGreen));
        AddLevel(plot, "UCL", limits->movingRangeUpper, QPen(Qt::darkRed, 1, Qt::DashLine));
        marks.push_back(limits->movingRangeUpper);
        for (size_t i = 0; i < ranges.size(); ++i)
            above[i] = ranges[i] > limits->movingRangeUpper;
    }
    AxisRange y = PaddedRange(ranges, marks);
    // Differences of readings come in the readings' own steps.
    DrawPoints(plot, xs, ranges, std::vector<bool>(ranges.size(), true), above, chart.x, y,
               chart.resolution);
    plot.yAxis->setLabel("moving range");
    plot.xAxis->setLabel(QString());
    ShowRange(plot, chart.x, y);
    return y;
}

}  // namespace

std::vector<bool> InLimits(const ChartSeries& series, const ChartView& view) {
    std::vector<bool> in(series.y.size(), true);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = !(i < view.excluded.size() && view.excluded[i]) &&
                !(view.rejectsOutOfLimits && series.reject[i]);
    return in;
}

ChartSummary DrawControlChart(QCustomPlot& chart, QCustomPlot& movingRange,
                              const ChartSeries& series, const ChartView& view) {
    Clear(chart);
    ChartSummary summary;
    summary.withLeak = series.y.size();
    ChartJudgement judgement =
        JudgeChart(series.y, InLimits(series, view), view.frozen, view.rules);
    summary.limits = judgement.limits;
    summary.frozen = judgement.frozen;
    std::vector<double> marks;
    if (summary.limits) {
        QString frozen = summary.frozen ? " frozen" : "";
        AddLevel(chart, "CL" + frozen, summary.limits->mean, QPen(Qt::darkGreen));
        QPen limitPen(Qt::darkRed, 1, Qt::DashLine);
        AddLevel(chart, "UCL" + frozen, summary.limits->upper, limitPen);
        AddLevel(chart, "LCL" + frozen, summary.limits->lower, limitPen);
        marks = {summary.limits->lower, summary.limits->upper};
    }
    if (view.tolerance) {
        QPen tolerancePen(kToleranceColour, 1.5, Qt::DashDotLine);
        for (auto [name, limit] :
             {std::pair{"LSL", view.tolerance->lower}, std::pair{"USL", view.tolerance->upper}}) {
            if (limit) {
                AddLevel(chart, name, *limit, tolerancePen);
                marks.push_back(*limit);
            }
        }
    }
    summary.x = PaddedRange(series.x);
    summary.y = PaddedRange(series.y, marks);
    summary.density = series.y.size() > kAllPointsUpTo;
    std::vector<double> sorted = series.y;
    std::sort(sorted.begin(), sorted.end());
    summary.resolution = MeasurementResolution(sorted);
    auto excluded = [&](size_t i) { return i < view.excluded.size() && view.excluded[i]; };
    std::vector<bool> dot(series.y.size());
    for (size_t i = 0; i < dot.size(); ++i)
        dot[i] = !excluded(i);
    std::vector<bool> alone(series.y.size());
    for (size_t i = 0; i < alone.size(); ++i)
        alone[i] = series.reject[i] || judgement.broken[i];
    DrawPoints(chart, series.x, series.y, dot, alone, summary.x, summary.y, summary.resolution);

    // Smaller where thousands of tests leave a reject a few pixels of room.
    QCPGraph* rejects = AddScatter(
        chart, "rejects",
        QCPScatterStyle(QCPScatterStyle::ssCross, QPen(Qt::red, summary.density ? 1.5 : 2), Qt::red,
                        summary.density ? 6 : 8));
    QCPGraph* left = AddScatter(
        chart, "left out of the limits",
        QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(kPointColour, 1.5), Qt::NoBrush, 7));
    for (size_t i = 0; i < series.y.size(); ++i) {
        if (series.reject[i])
            rejects->addData(series.x[i], series.y[i]);
        if (excluded(i))
            left->addData(series.x[i], series.y[i]);
    }
    if (left->dataCount() == 0)
        left->removeFromLegend();
    summary.ruleBreaks = RingBreaks(chart, series, judgement.broken);
    summary.breaks = std::move(judgement.breaks);
    AddMarks(chart, series.powerUps);

    SetTitle(chart, view.title);
    SetXAxis(chart, view.axis);
    chart.yAxis->setLabel("leak");
    chart.legend->setVisible(true);
    chart.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ShowRange(chart, summary.x, summary.y);

    SetXAxis(movingRange, view.axis);
    summary.movingRangeY = DrawMovingRange(movingRange, series, summary);
    return summary;
}

void DrawHistogram(QCustomPlot& plot, const std::vector<double>& leaks, const ChartSummary& chart) {
    Clear(plot);
    const std::optional<ControlLimits>& limits = chart.limits;
    Histogram histogram = MakeHistogram(leaks, chart.resolution, kHistogramBins);
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setName("tests");
    bars->setWidth(histogram.width);
    double highest = 0;
    for (size_t bin = 0; bin < histogram.counts.size(); ++bin) {
        bars->addData(histogram.start + (static_cast<double>(bin) + 0.5) * histogram.width,
                      static_cast<double>(histogram.counts[bin]));
        highest = std::max(highest, static_cast<double>(histogram.counts[bin]));
    }
    if (limits && limits->sigmaMovingRange > 0) {
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
