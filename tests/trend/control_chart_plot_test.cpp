// The charts as drawn, without a window: what a selection of any size puts on them.
#include "trend/control_chart_plot.h"

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <set>

using namespace qm4250;

namespace {

struct Plots {
    Plots() {
        chart.resize(800, 400);
        movingRange.resize(800, 200);
        histogram.resize(300, 600);
    }
    ChartSummary draw(const std::vector<TestPoint>& points) {
        series = SeriesOf(points, ChartAxis::SampleNumber);
        ChartSummary summary =
            DrawControlChart(chart, movingRange, series, ChartAxis::SampleNumber, "PN");
        DrawHistogram(histogram, series.y, summary.limits);
        return summary;
    }
    QCPGraph* graph(const QString& name) {
        for (int i = 0; i < chart.graphCount(); ++i)
            if (chart.graph(i)->name().endsWith(name))
                return chart.graph(i);
        return nullptr;
    }
    QCustomPlot chart, movingRange, histogram;
    ChartSeries series;
};

std::vector<TestPoint> Tests(size_t count, double (*leak)(size_t)) {
    std::vector<TestPoint> points(count);
    for (size_t k = 0; k < count; ++k) {
        points[k].id = static_cast<qint64>(k);
        points[k].seconds = static_cast<qint64>(k);
        points[k].leak = leak(k);
    }
    return points;
}

// Past the threshold the tests within the limits become a density band, and every point beyond a
// limit and every reject is still drawn by itself.
TEST(LargeSelection, DrawsEveryPointBeyondALimitAndEveryRejectAlone) {
    std::vector<TestPoint> points = Tests(kAllPointsUpTo + 10'000, [](size_t k) {
        return k % 9973 == 5 ? 0.05 : 0.003 + 0.0001 * double(k % 7);
    });
    for (size_t k = 0; k < points.size(); k += 7919)
        points[k].reject = true;
    Plots plots;
    ChartSummary summary = plots.draw(points);
    ASSERT_TRUE(summary.density && summary.limits);
    std::set<double> alone, drawn;
    for (size_t i = 0; i < plots.series.y.size(); ++i)
        if (plots.series.reject[i] || plots.series.y[i] > summary.limits->upper)
            alone.insert(plots.series.x[i]);
    for (auto it = plots.graph("tests")->data()->begin(); it != plots.graph("tests")->data()->end();
         ++it)
        drawn.insert(it->key);
    EXPECT_EQ(drawn, alone);
    EXPECT_EQ(plots.graph("rejects")->dataCount(), 8);
    EXPECT_TRUE(plots.chart.findChild<QCPColorMap*>()) << "the band";
}

TEST(LargeSelection, RuleBreaksPastWhatCanBeShownAreCounted) {
    // A step half-way: the moving ranges are all but one zero, so every test lies beyond a limit.
    Plots plots;
    ChartSummary summary = plots.draw(Tests(2000, [](size_t k) { return k < 1000 ? 1.0 : 1.1; }));
    EXPECT_EQ(summary.ruleBreaks, 2000u);
    EXPECT_EQ(plots.graph("ringed")->dataCount(), int(kRingsAtMost));
    EXPECT_EQ(plots.graph("ringed")->name(), "2,000 rule breaks, 300 ringed");
}

// No test, or one: no limit and no bar that is not there; one test is one bar on its value.
TEST(FewTests, DrawNoFalseBarOrLimit) {
    for (size_t count : {0, 1}) {
        Plots plots;
        ChartSummary summary = plots.draw(Tests(count, [](size_t) { return 0.0029; }));
        EXPECT_FALSE(summary.limits);
        EXPECT_FALSE(plots.chart.findChild<QCPItemText*>("UCL")) << count;
        EXPECT_EQ(plots.graph("tests")->dataCount(), int(count));
        auto* bars = qobject_cast<QCPBars*>(plots.histogram.plottable(0));
        ASSERT_TRUE(bars);
        EXPECT_EQ(bars->dataCount(), int(count));
        if (count == 1) {
            EXPECT_NEAR(bars->data()->begin()->key, 0.0029, 1e-12);
            EXPECT_EQ(bars->data()->begin()->value, 1);
        }
    }
}

}  // namespace
