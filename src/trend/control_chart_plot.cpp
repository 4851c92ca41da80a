#include "trend/control_chart_plot.h"

#include <qcustomplot.h>

#include <QLocale>

#include "analysis/chart_data.h"
#include "analysis/density_grid.h"
#include "analysis/normal_distribution.h"
#include "trend/chart_layers.h"
#include "trend/off_scale_marks.h"

namespace qm4250 {

namespace {

constexpr size_t kDensityRows = 160;
const QColor kPointColour(30, 70, 160);
const QColor kBreakColour(255, 140, 0);
const QColor kToleranceColour(128, 0, 160);
const QColor kBarColour(206, 214, 240);

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

// The moving ranges the limits are made of, at the x of the second point of each.
AxisRange DrawMovingRange(QCustomPlot& plot, const ChartSeries& series,
                          const ProcessSeries& process, const ChartSummary& chart,
                          const QString& unit) {
    const std::optional<ControlLimits>& limits = chart.limits;
    Clear(plot);
    std::vector<double> xs, ranges;
    for (size_t i : FormedRanges(process)) {
        xs.push_back(series.x[i]);
        ranges.push_back(std::fabs(series.y[i] - series.y[i - 1]));
    }
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
    // An R or S chart drawn here before takes its title with it.
    RemoveTitle(plot);
    plot.yAxis->setLabel(WithUnit("moving range", unit));
    plot.xAxis->setLabel(QString());
    ShowRange(plot, chart.x, y);
    return y;
}

double MeanOf(const std::vector<double>& values) {
    double sum = 0;
    for (double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

// What the histogram leaves out, in a note over it.
QString LeftOutNote(const ChartSeries& series, const ChartView& view,
                    const ProcessSeries& process) {
    size_t rejects = 0, leftOut = 0;
    for (size_t i = 0; i < process.size(); ++i) {
        bool excluded = i < view.excluded.size() && view.excluded[i];
        leftOut += excluded;
        rejects += !process.kept[i] && !excluded;
    }
    QStringList parts;
    if (rejects)
        parts << Thousands(rejects) + (rejects == 1 ? " reject" : " rejects");
    if (leftOut)
        parts << Thousands(leftOut) + " left out";
    if (series.withoutNumber)
        parts << Thousands(series.withoutNumber) + " not a number";
    return parts.isEmpty() ? QString() : "Not shown: " + parts.join(", ");
}

}  // namespace

ProcessSeries ProcessOf(const ChartSeries& series, const ChartView& view) {
    ProcessSeries process;
    process.values = series.y;
    process.adjacent = series.adjacent;
    process.kept.resize(series.y.size());
    for (size_t i = 0; i < series.y.size(); ++i)
        process.kept[i] = !(i < view.excluded.size() && view.excluded[i]) &&
                          !(view.rejectsOutOfLimits && series.reject[i]);
    return process;
}

ChartSummary DrawControlChart(QCustomPlot& chart, QCustomPlot& movingRange,
                              const ChartSeries& series, const ChartView& view,
                              ChartJudgement judgement) {
    Clear(chart);
    ChartSummary summary;
    summary.withLeak = series.y.size();
    ProcessSeries process = ProcessOf(series, view);
    summary.limits = judgement.limits;
    summary.frozen = judgement.frozen;
    summary.process = judgement.frozen ? IndividualsLimits(process) : judgement.limits;
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
    // Scaled to the process: a gross leak of 9.9 would flatten parts leaking 0.003 into a line.
    std::vector<double> kept = KeptValues(process);
    summary.x = PaddedRange(series.x);
    summary.y = PaddedRange(kept.empty() ? series.y : kept, marks);
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
    OffScaleMarks& offScale = OffScaleMarks::Add(chart, series.x, series.y, summary.y, Qt::red);

    SetTitle(chart, view.title);
    SetXAxis(chart, view.axis);
    chart.yAxis->setLabel(WithUnit("leak", view.unit));
    chart.legend->setVisible(true);
    chart.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ShowRange(chart, summary.x, summary.y);
    summary.offScale = offScale.count();

    SetXAxis(movingRange, view.axis);
    summary.movingRangeY = DrawMovingRange(movingRange, series, process, summary, view.unit);
    return summary;
}

void DrawHistogram(QCustomPlot& plot, const ChartSeries& series, const ChartView& view,
                   const ChartSummary& chart) {
    Clear(plot);
    ProcessSeries process = ProcessOf(series, view);
    std::vector<double> kept = KeptValues(process);
    Histogram histogram = MakeHistogram(kept, chart.resolution, HistogramBins(kept));
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setName("tests");
    bars->setWidth(histogram.width);
    // Opaque and square: bars a pixel apart need no smoothing, and blending them took a tenth of
    // a redraw.
    bars->setBrush(kBarColour);
    bars->setPen(QPen(kPointColour.darker(120), 1));
    bars->setAntialiased(false);
    bars->setAntialiasedFill(false);
    double highest = 0;
    for (size_t bin = 0; bin < histogram.counts.size(); ++bin) {
        bars->addData(histogram.start + (static_cast<double>(bin) + 0.5) * histogram.width,
                      static_cast<double>(histogram.counts[bin]));
        highest = std::max(highest, static_cast<double>(histogram.counts[bin]));
    }
    std::optional<double> sigma = OverallSigma(kept);
    if (sigma && *sigma > 0) {
        double mean = MeanOf(kept);
        QCPGraph* curve = plot.addGraph();
        curve->setName("normal");
        curve->setPen(QPen(Qt::darkBlue, 2));
        // In tests per bin, as the bars count them.
        double scale = static_cast<double>(kept.size()) * histogram.width;
        for (int i = 0; i <= 200; ++i) {
            double x = mean - 4 * *sigma + 8 * *sigma * i / 200;
            double y = scale * NormalDensity(x, mean, *sigma);
            curve->addData(x, y);
            highest = std::max(highest, y);
        }
    }
    if (QString note = LeftOutNote(series, view, process); !note.isEmpty()) {
        auto* text = new QCPItemText(&plot);
        text->setObjectName("histogramNote");
        text->position->setType(QCPItemPosition::ptAxisRectRatio);
        text->position->setCoords(0.98, 0.02);
        text->setPositionAlignment(Qt::AlignRight | Qt::AlignTop);
        text->setFont(QFont("Liberation Sans", 8));
        text->setText(note);
    }
    plot.xAxis->setLabel(WithUnit("leak", view.unit) + ", tests in the limits");
    plot.yAxis->setLabel("tests");
    double end = histogram.start + static_cast<double>(histogram.counts.size()) * histogram.width;
    double edges[] = {histogram.start, end};
    double heights[] = {0, highest};
    double most = std::max(1.0, static_cast<double>(kept.size()));
    ShowRange(plot, PaddedRange(edges), {0, std::min(most, PaddedRange(heights).upper)});
}

}  // namespace qm4250
