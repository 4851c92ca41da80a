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
    ChartSummary draw(const std::vector<TestPoint>& points, ChartView view = {}) {
        series = SeriesOf(points, ChartAxis::SampleNumber);
        view.title = "PN";
        view.excluded.resize(series.y.size());
        for (size_t i = 0; i < series.y.size(); ++i)
            view.excluded[i] = excludedIds.count(series.source[i]->id) > 0;
        ChartSummary summary =
            DrawControlChart(chart, movingRange, series, view,
                             JudgeChart(ProcessOf(series, view), view.frozen, view.rules));
        DrawHistogram(histogram, series, view, summary);
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
    std::set<qint64> excludedIds;
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

// Parts leaking 0.0028 to 0.0032 and, as a leak tester finds them, gross leaks (rejects, read as
// 5 to 9.9 or as "OVER"): at k % 25 == 7 in the tests made here.
std::vector<TestPoint> LeakTester(size_t count, bool overToo) {
    std::vector<TestPoint> points = Tests(count, [](size_t k) {
        return k % 25 == 7 ? 5 + double(k % 50) / 10 : 0.0028 + 0.0001 * double(k % 5);
    });
    for (TestPoint& point : points) {
        point.reject = *point.leak > 1;
        if (overToo && point.reject && point.id % 2) {
            point.leak.reset();
            point.reading = LeakReading::Over;
        }
    }
    return points;
}

struct ViewCase {
    const char* name;
    std::vector<TestPoint> tests;
    ChartView view;
    std::set<qint64> excluded;
    size_t offScale;
};

class FittedView : public testing::TestWithParam<ViewCase> {};

// Read back from the plot: the view holds the process (every point kept in the limits) and the
// limits, with its span a few times theirs; every other point beyond it is marked at its edge
// and counted; the histogram's count axis stays within the tests it shows.
TEST_P(FittedView, ShowsTheProcessAndMarksWhatIsBeyondIt) {
    const ViewCase& c = GetParam();
    Plots plots;
    plots.excludedIds = c.excluded;
    ChartSummary summary = plots.draw(c.tests, c.view);
    QCPRange x = plots.chart.xAxis->range(), y = plots.chart.yAxis->range();
    std::vector<double> kept;
    for (size_t i = 0; i < plots.series.y.size(); ++i) {
        ASSERT_TRUE(x.lower < plots.series.x[i] && plots.series.x[i] < x.upper) << i;
        if (plots.series.reject[i] || c.excluded.count(plots.series.source[i]->id))
            continue;
        kept.push_back(plots.series.y[i]);
        ASSERT_TRUE(y.lower < kept.back() && kept.back() < y.upper) << i;
    }
    EXPECT_EQ(summary.offScale, c.offScale);
    EXPECT_EQ(plots.graph("off scale") && plots.graph("off scale")->dataCount() > 0,
              c.offScale > 0);
    if (summary.limits) {
        EXPECT_LT(y.lower, summary.limits->lower);
        EXPECT_GT(y.upper, summary.limits->upper);
        auto [low, high] = std::minmax_element(kept.begin(), kept.end());
        double span = std::max(summary.limits->upper - summary.limits->lower, *high - *low);
        if (span > 0)
            EXPECT_LT(y.size(), 3 * span) << "the process, not the gross leaks, sets the scale";
    }
    EXPECT_LE(plots.histogram.yAxis->range().upper, std::max<double>(1, kept.size()));
}

const ControlLimits kFrozen{0.004, 0.0005, 0.0025, 0.0055, 0.000564, 0.001843};

INSTANTIATE_TEST_SUITE_P(
    Selections, FittedView,
    testing::Values(
        ViewCase{"OneTest", Tests(1, [](size_t) { return 0.0029; }), {}, {}, 0},
        ViewCase{
            "TwoTests", Tests(2, [](size_t k) { return 0.0029 + 0.0001 * double(k); }), {}, {}, 0},
        ViewCase{"AllEqual", Tests(40, [](size_t) { return 0.0029; }), {}, {}, 0},
        ViewCase{"GrossLeaks", LeakTester(200, false), {}, {}, 8},
        ViewCase{"GrossLeaksAndOver", LeakTester(200, true), {}, {}, 4},
        ViewCase{"LeftOut", LeakTester(100, false), {}, {50}, 4},
        ViewCase{"LeftOutFarAway",
                 Tests(60, [](size_t k) { return k == 30 ? 0.2 : 0.003 + 0.0001 * double(k % 3); }),
                 {},
                 {30},
                 1},
        ViewCase{"Frozen", LeakTester(200, false), {.frozen = kFrozen}, {}, 8},
        ViewCase{
            "OutlierKept",
            Tests(40, [](size_t k) { return k == 20 ? -1.0 : 0.003 + 0.0001 * double(k % 3); }),
            {},
            {},
            0},
        ViewCase{"AMillion",
                 Tests(1'000'000, [](size_t k) { return 0.003 + 0.0001 * double(k % 11); }),
                 {},
                 {},
                 0}),
    [](const auto& info) { return info.param.name; });

// Labels of levels a few pixels apart are stacked, each whole and in order, when the plot is laid
// out; a level beyond the view hides its label.
TEST(Labels, CloseLevelsAreStackedApart) {
    Plots plots;
    ChartView view;
    view.tolerance = ToleranceLimits{std::nullopt, 0.00331};
    ChartSummary summary =
        plots.draw(Tests(100, [](size_t k) { return 0.003 + 0.0001 * double(k % 2); }), view);
    ASSERT_TRUE(summary.limits);
    plots.chart.toPixmap(800, 400);
    auto pixel = [&](const char* name) {
        return plots.chart.findChild<QCPItemText*>(name)->position->pixelPosition().y();
    };
    double line = QFontMetricsF(plots.chart.findChild<QCPItemText*>("USL")->font()).height();
    EXPECT_GE(std::abs(pixel("USL") - pixel("UCL")), line - 0.5);
    EXPECT_LT(pixel("USL"), pixel("CL")) << "the order of the levels stays";
    EXPECT_LT(pixel("CL"), pixel("LCL"));
    plots.chart.yAxis->setRange(0.0031, 0.0032);
    plots.chart.toPixmap(800, 400);
    EXPECT_FALSE(plots.chart.findChild<QCPItemText*>("CL")->visible()) << "out of view";
}

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
