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
            DrawControlChart(chart, movingRange, series, ChartView{ChartAxis::SampleNumber, "PN"});
        DrawHistogram(histogram, series.y, summary);
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

struct ViewCase {
    const char* name;
    size_t count;
    double (*leak)(size_t);
};

class FittedView : public testing::TestWithParam<ViewCase> {};

// Read back from the plot: the view holds every point and both limits, none on an edge.
TEST_P(FittedView, HoldsEveryPointAndBothLimits) {
    Plots plots;
    ChartSummary summary = plots.draw(Tests(GetParam().count, GetParam().leak));
    QCPRange x = plots.chart.xAxis->range(), y = plots.chart.yAxis->range();
    for (size_t i = 0; i < plots.series.y.size(); ++i) {
        ASSERT_TRUE(x.lower < plots.series.x[i] && plots.series.x[i] < x.upper) << i;
        ASSERT_TRUE(y.lower < plots.series.y[i] && plots.series.y[i] < y.upper) << i;
    }
    if (summary.limits) {
        EXPECT_LT(y.lower, summary.limits->lower);
        EXPECT_GT(y.upper, summary.limits->upper);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Selections, FittedView,
    testing::Values(
        ViewCase{"OneTest", 1, [](size_t) { return 0.0029; }},
        ViewCase{"TwoTests", 2, [](size_t k) { return 0.0029 + 0.0001 * double(k); }},
        ViewCase{"AllEqual", 40, [](size_t) { return 0.0029; }},
        ViewCase{"OutlierHigh", 40,
                 [](size_t k) { return k == 20 ? 9.0 : 0.003 + 0.0001 * double(k % 3); }},
        ViewCase{"OutlierLow", 40,
                 [](size_t k) { return k == 20 ? -1.0 : 0.003 + 0.0001 * double(k % 3); }},
        ViewCase{"AMillion", 1'000'000, [](size_t k) { return 0.003 + 0.0001 * double(k % 11); }}),
    [](const auto& info) { return info.param.name; });

// Past the threshold the tests within the limits become a density band, and every point beyond a
// limit, every reject and every rule break is still drawn by itself.
TEST(LargeSelection, DrawsEveryPointBeyondALimitEveryRejectAndEveryRuleBreakAlone) {
    std::vector<TestPoint> points = Tests(kAllPointsUpTo + 10'000, [](size_t k) {
        if (k % 9973 == 5)
            return 0.05;  // beyond the upper limit
        if (k >= 30'000 && k < 30'012)
            return 0.0036;  // a run above the centre line, within the limits
        return 0.003 + 0.0001 * double(k % 7);
    });
    for (size_t k = 0; k < points.size(); k += 7919)
        points[k].reject = true;
    Plots plots;
    ChartSummary summary = plots.draw(points);
    ASSERT_TRUE(summary.density && summary.limits);
    std::set<double> alone, drawn;
    for (size_t i = 0; i < plots.series.y.size(); ++i)
        if (plots.series.reject[i])
            alone.insert(plots.series.x[i]);
    for (const RunRuleBreak& broken : summary.breaks)
        alone.insert(plots.series.x[broken.index]);
    for (auto it = plots.graph("tests")->data()->begin(); it != plots.graph("tests")->data()->end();
         ++it)
        drawn.insert(it->key);
    EXPECT_EQ(drawn, alone);
    for (size_t k = 5; k < points.size(); k += 9973)
        EXPECT_TRUE(drawn.count(plots.series.x[k])) << "beyond the upper limit: " << k;
    EXPECT_GT(summary.ruleBreaks, 6u) << "the run is among them";
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
