// The subgroup charts and the p-chart as drawn, without a window: the limits drawn carry the
// computed values, and what lies beyond a limit is marked.
#include "trend/subgroup_chart_plot.h"

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "trend/chart_layers.h"

using namespace qm4250;

namespace {

QString LabelOf(QCustomPlot& plot, const QString& name) {
    auto* label = plot.findChild<QCPItemText*>(name);
    return label ? label->text() : QString();
}

QCPGraph* GraphOf(QCustomPlot& plot, const QString& name) {
    for (int i = 0; i < plot.graphCount(); ++i)
        if (plot.graph(i)->name() == name)
            return plot.graph(i);
    return nullptr;
}

std::vector<double> Keys(QCPGraph* graph) {
    std::vector<double> keys;
    for (auto it = graph->data()->begin(); it != graph->data()->end(); ++it)
        keys.push_back(it->key);
    return keys;
}

QString TitleOf(QCustomPlot& plot) {
    auto* title = plot.findChild<QCPTextElement*>("title");
    return title ? title->text() : QString();
}

TestPoint TestAt(qint64 seconds, double leak, bool reject = false) {
    TestPoint point;
    point.seconds = seconds;
    point.leak = leak;
    point.reject = reject;
    return point;
}

struct Plots {
    QCustomPlot means, spread;
};

// Ten subgroups of four alike but the seventh, shifted up; a test without a numeric leak between
// them counts for nothing.
TEST(SubgroupChartPlot, EqualSubgroupsCarryTheirLimitsAndMarkTheOneBeyond) {
    std::vector<TestPoint> tests;
    for (int k = 0; k < 40; ++k)
        tests.push_back(TestAt(k, 1.0 + 0.01 * ((k * 2) % 4 + k % 2) + (k / 4 == 6 ? 0.1 : 0)));
    tests.insert(tests.begin() + 9, TestPoint{});
    tests.insert(tests.begin() + 12, TestAt(9, std::nan("")));
    SubgroupChoice choice;
    choice.size = 4;
    Plots plots;
    SubgroupChartSummary summary =
        DrawSubgroupChart(plots.means, plots.spread, tests, choice, "P17");
    ASSERT_TRUE(summary.chart);
    ASSERT_EQ(summary.subgroups, 10u);
    const SubgroupPoint& p = summary.chart->points.front();
    EXPECT_EQ(LabelOf(plots.means, "CL"), "CL " + LimitText(summary.chart->grandMean));
    EXPECT_EQ(LabelOf(plots.means, "UCL"), "UCL " + LimitText(p.meanUpper));
    EXPECT_EQ(LabelOf(plots.means, "LCL"), "LCL " + LimitText(p.meanLower));
    EXPECT_EQ(LabelOf(plots.spread, "R-bar"), "R-bar " + LimitText(summary.chart->averageSpread));
    EXPECT_EQ(LabelOf(plots.spread, "UCL"), "UCL " + LimitText(p.spreadUpper));
    EXPECT_TRUE(LabelOf(plots.spread, "LCL").isEmpty()) << "D3 is zero for subgroups of four";
    EXPECT_EQ(Keys(GraphOf(plots.means, "beyond a limit")), std::vector<double>{7});
    EXPECT_EQ(GraphOf(plots.spread, "beyond a limit")->dataCount(), 0);
    EXPECT_EQ(summary.meansBeyond, 1u);
    EXPECT_EQ(TitleOf(plots.means), QString::fromUtf8("X̄ chart: PN P17, subgroups of 4"));
    EXPECT_EQ(TitleOf(plots.spread), "R chart");
}

// Subgroups by hour of 2, 5 and 3 tests (one test alone in its hour left out): the limits step.
TEST(SubgroupChartPlot, SubgroupsByTimeDrawStepsAtEachSubgroupsTime) {
    const qint64 hour = 3600;
    std::vector<TestPoint> tests;
    for (auto [start, leaks] : {std::pair{0 * hour, std::vector<double>{1.0, 1.3}},
                                std::pair{1 * hour, std::vector<double>{1.1, 1.4, 1.2, 1.0, 1.3}},
                                std::pair{2 * hour, std::vector<double>{1.2}},
                                std::pair{3 * hour, std::vector<double>{1.1, 1.2, 1.5}}})
        for (size_t i = 0; i < leaks.size(); ++i)
            tests.push_back(TestAt(start + qint64(i) * 60, leaks[i]));
    SubgroupChoice choice;
    choice.by = SubgroupBy::Hour;
    choice.statistic = SpreadStatistic::StandardDeviation;
    choice.axis = ChartAxis::Time;
    Plots plots;
    SubgroupChartSummary summary =
        DrawSubgroupChart(plots.means, plots.spread, tests, choice, "P17");
    ASSERT_TRUE(summary.chart);
    ASSERT_EQ(summary.subgroups, 3u);
    QCPGraph* upper = GraphOf(plots.means, "UCL");
    ASSERT_TRUE(upper);
    std::vector<double> xs{ChartTime(0), ChartTime(hour), ChartTime(3 * hour)};
    EXPECT_EQ(Keys(upper), xs);
    auto step = upper->data()->begin();
    for (const SubgroupPoint& p : summary.chart->points)
        EXPECT_DOUBLE_EQ((step++)->value, p.meanUpper);
    EXPECT_EQ(LabelOf(plots.means, "UCL"), "UCL (varies)");
    EXPECT_EQ(LabelOf(plots.means, "CL"), "CL " + LimitText(summary.chart->grandMean));
    EXPECT_EQ(LabelOf(plots.spread, "s-bar"), "s-bar (varies)");
    EXPECT_EQ(TitleOf(plots.spread), "S chart");
}

TEST(SubgroupChartPlot, NoSubgroupDrawsNoLimit) {
    Plots plots;
    SubgroupChoice choice;
    SubgroupChartSummary summary = DrawSubgroupChart(
        plots.means, plots.spread, {TestAt(0, 1.0), TestAt(1, 1.1)}, choice, "P17");
    EXPECT_FALSE(summary.chart);
    EXPECT_TRUE(LabelOf(plots.means, "UCL").isEmpty());
    EXPECT_EQ(GraphOf(plots.means, "subgroup means")->dataCount(), 0);
}

// Five days of 20 tests, the fourth with 10 rejects; a leak that is not a number counts as a test.
TEST(RejectRatePlot, DaysBeyondAreMarkedAndTheLimitsCarryTheirPercentages) {
    const qint64 day = 86400;
    std::vector<TestPoint> tests;
    for (qint64 d = 0; d < 5; ++d) {
        for (int k = 0; k < 20; ++k) {
            TestPoint test = TestAt(d * day + k * 600, 1.0, k < (d == 3 ? 10 : 1));
            if (k == 19)
                test.leak.reset();
            tests.push_back(test);
        }
    }
    QCustomPlot plot;
    RejectRateSummary summary = DrawRejectRateChart(plot, tests, "P17");
    ASSERT_TRUE(summary.chart);
    EXPECT_EQ(summary.days, 5u);
    EXPECT_DOUBLE_EQ(summary.chart->rate, 14.0 / 100);
    EXPECT_EQ(LabelOf(plot, "p-bar"), "p-bar " + LimitText(14.0));
    EXPECT_EQ(LabelOf(plot, "UCL"), "UCL " + LimitText(100 * summary.chart->points[0].upper));
    EXPECT_TRUE(LabelOf(plot, "LCL").isEmpty()) << "below zero, floored, not drawn";
    EXPECT_EQ(Keys(GraphOf(plot, "beyond a limit")), std::vector<double>{ChartTime(3 * day)});
    EXPECT_EQ(summary.beyond, 1u);
}

}  // namespace
