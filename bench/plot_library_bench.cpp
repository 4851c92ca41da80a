// Qt Charts against QCustomPlot for the trend view: the time to put a control chart of N leak
// values (the points and the mean and limit lines) on a 1200 x 600 chart and render it to an
// image, with every point and with the points min/max-decimated to the chart's width, and the
// peak resident memory. One library per run, so each has its own peak:
//   plot_library_bench charts|qcustomplot
// Prints key=value lines, keyed by the library.
#include <qcustomplot.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "analysis/chart_data.h"
#include "analysis/control_chart.h"
#include "proc_status.h"

using namespace qm4250;

namespace {

constexpr int kPoints = 100000;
constexpr int kWidth = 1200;
constexpr int kHeight = 600;

std::vector<ChartPoint> LeakValues() {
    std::mt19937 random(4250);
    std::normal_distribution<double> leak(0.002, 0.0004);
    std::vector<ChartPoint> points;
    for (int i = 0; i < kPoints; ++i)
        points.push_back({static_cast<double>(i), leak(random)});
    return points;
}

std::vector<ChartPoint> Decimated(const std::vector<ChartPoint>& points) {
    std::vector<ChartPoint> kept;
    for (size_t i : DecimateMinMax(points, kWidth))
        kept.push_back(points[i]);
    return kept;
}

ControlLimits LimitsOf(const std::vector<ChartPoint>& points) {
    std::vector<double> values;
    for (const ChartPoint& point : points)
        values.push_back(point.y);
    return *IndividualsLimits(values);
}

double RenderCharts(const std::vector<ChartPoint>& points, const ControlLimits& limits) {
    auto start = std::chrono::steady_clock::now();
    auto* scatter = new QScatterSeries;
    scatter->setMarkerSize(4);
    QList<QPointF> data;
    data.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& point : points)
        data.append(QPointF(point.x, point.y));
    scatter->replace(data);
    auto* chart = new QChart;  // the view owns it
    chart->addSeries(scatter);
    for (double y : {limits.lower, limits.mean, limits.upper}) {
        auto* line = new QLineSeries;
        line->append(points.front().x, y);
        line->append(points.back().x, y);
        chart->addSeries(line);
    }
    chart->createDefaultAxes();
    QChartView view(chart);
    view.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    QPainter painter(&image);
    view.render(&painter);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double RenderQCustomPlot(const std::vector<ChartPoint>& points, const ControlLimits& limits) {
    auto start = std::chrono::steady_clock::now();
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    QVector<double> x, y;
    x.reserve(static_cast<qsizetype>(points.size()));
    y.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& point : points) {
        x.append(point.x);
        y.append(point.y);
    }
    QCPGraph* graph = plot.addGraph();
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 4));
    graph->setData(x, y, true);
    for (double level : {limits.lower, limits.mean, limits.upper}) {
        QCPGraph* line = plot.addGraph();
        line->setData({points.front().x, points.back().x}, {level, level});
    }
    plot.rescaleAxes();
    QImage image = plot.toPixmap(kWidth, kHeight).toImage();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2 ||
        (std::strcmp(argv[1], "charts") != 0 && std::strcmp(argv[1], "qcustomplot") != 0)) {
        std::fputs("usage: plot_library_bench charts|qcustomplot\n", stderr);
        return 2;
    }
    bool charts = std::strcmp(argv[1], "charts") == 0;
    std::function<double(const std::vector<ChartPoint>&, const ControlLimits&)> render =
        charts ? RenderCharts : RenderQCustomPlot;
    std::vector<ChartPoint> points = LeakValues();
    ControlLimits limits = LimitsOf(points);
    render(Decimated(points), limits);  // fonts and caches warmed up once
    double all = render(points, limits);
    auto start = std::chrono::steady_clock::now();
    std::vector<ChartPoint> decimated = Decimated(points);
    double decimatedMs =
        render(decimated, limits) +
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%s_all_points_ms=%.1f\n%s_decimated_ms=%.1f\n%s_decimated_points=%zu\n%s_peak_mb=%.1f\n",
        argv[1], all, argv[1], decimatedMs, argv[1], decimated.size(), argv[1],
        ProcStatusKb("VmHWM") / 1024.0);
    return 0;
}
