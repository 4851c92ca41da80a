// The subgroup charts and the p-chart as drawn, without a window.
#include "trend/subgroup_chart_plot.h"

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "trend/chart_layers.h"

using namespace qm4250;

namespace {

using Points = std::vector<std::pair<double, double>>;

// A limit's label (or with the name "title" the title), or a graph's points; empty when not drawn.
QString TextOf(QCustomPlot& plot, const QString& name) {
    if (auto* label = plot.findChild<QCPItemText*>(name))
        return label->text();
    auto* title = plot.findChild<QCPTextElement*>(name);
    return title ? title->text() : QString();
}

Points PointsOf(QCustomPlot& plot, const QString& name) {
    Points points;
    for (int i = 0; i < plot.graphCount(); ++i)
        for (auto it = plot.graph(i)->data()->begin(); it != plot.graph(i)->data()->end(); ++it)
            if (plot.graph(i)->name() == name)
                points.emplace_back(it->key, it->value);
    return points;
}

// Ten subgroups of four alike but the seventh, shifted up; tests without a numeric leak between
// them count for nothing. Then subgroups by hour of 2, 5 and 3 tests (one alone in its hour left
// out), drawn over the first: their limits step, each at the subgroup's first test.
TEST(SubgroupChartPlot, LimitsCarryTheirValuesAndWhatIsBeyondIsMarked) {
    std::vector<TestPoint> tests;
    for (int k = 0; k < 40; ++k)
        tests.push_back({.seconds = k, .leak = 1 + 0.01 * (k % 4) + (k / 4 == 6 ? 0.1 : 0)});
    tests.insert(tests.begin() + 9, {.seconds = 9, .leak = std::nullopt});
    tests.insert(tests.begin() + 12, {.seconds = 10, .leak = std::nan("")});
    QCustomPlot means, spread;
    SubgroupChartSummary equal =
        DrawSubgroupChart(means, spread, tests, {.size = 4}, "P17", "sccm");
    ASSERT_TRUE(equal.chart && equal.subgroups == 10);
    EXPECT_EQ(spread.yAxis->label(), "range of leaks (sccm)");
    const SubgroupChart& e = *equal.chart;
    EXPECT_EQ(TextOf(means, "CL"), "CL " + LimitText(e.grandMean));
    EXPECT_EQ(TextOf(means, "UCL"), "UCL " + LimitText(e.points[0].meanUpper));
    EXPECT_EQ(TextOf(means, "LCL"), "LCL " + LimitText(e.points[0].meanLower));
    EXPECT_EQ(TextOf(spread, "R-bar"), "R-bar " + LimitText(e.averageSpread));
    EXPECT_EQ(TextOf(spread, "LCL"), "") << "D3 is zero for subgroups of four";
    EXPECT_EQ(PointsOf(means, "beyond a limit"), (Points{{7, e.points[6].mean}}));
    EXPECT_EQ(PointsOf(spread, "beyond a limit"), Points{});
    EXPECT_TRUE(equal.meansBeyond == 1 && equal.spreadsBeyond == 0);
    EXPECT_EQ(TextOf(means, "title"), QString::fromUtf8("X̄ chart: PN P17, subgroups of 4"));

    tests.clear();
    for (int hour : {0, 0, 1, 1, 1, 1, 1, 2, 3, 3, 3})
        tests.push_back({.seconds = hour * 3600 + qint64(tests.size()) * 60,
                         .leak = 1 + 0.1 * double(tests.size() % 4)});
    SubgroupChoice choice{.statistic = SpreadStatistic::StandardDeviation, .by = SubgroupBy::Hour};
    choice.axis = ChartAxis::Time;
    SubgroupChartSummary byHour = DrawSubgroupChart(means, spread, tests, choice, "P17", {});
    ASSERT_TRUE(byHour.chart && byHour.subgroups == 3);
    const std::vector<SubgroupPoint>& h = byHour.chart->points;
    EXPECT_EQ(PointsOf(means, "UCL"), (Points{{ChartTime(0), h[0].meanUpper},
                                              {ChartTime(3600 + 2 * 60), h[1].meanUpper},
                                              {ChartTime(3 * 3600 + 8 * 60), h[2].meanUpper}}));
    EXPECT_EQ(TextOf(means, "UCL"), "UCL (varies)");
    EXPECT_EQ(TextOf(means, "CL"), "CL " + LimitText(byHour.chart->grandMean));
    EXPECT_EQ(TextOf(spread, "s-bar"), "s-bar (varies)");
    EXPECT_EQ(TextOf(spread, "title"), "S chart");

    EXPECT_FALSE(
        DrawSubgroupChart(means, spread, {{.leak = 1.0}, {.leak = 1.1}}, {}, "P17", {}).chart);
    EXPECT_TRUE(TextOf(means, "UCL").isEmpty() && PointsOf(means, "subgroup means").empty());
}

// Five days of 20 tests, the fourth with 10 rejects; tests count without a numeric leak.
TEST(RejectRatePlot, DaysBeyondAreMarkedAndTheLimitsCarryTheirPercentages) {
    std::vector<TestPoint> tests;
    for (int day = 0; day < 5; ++day)
        for (int k = 0; k < 20; ++k)
            tests.push_back({.seconds = day * 86400 + k * 600, .reject = k < (day == 3 ? 10 : 1)});
    QCustomPlot plot;
    RejectRateSummary summary = DrawRejectRateChart(plot, tests, "P17");
    ASSERT_TRUE(summary.chart && summary.days == 5 && summary.beyond == 1);
    EXPECT_EQ(TextOf(plot, "p-bar"), "p-bar " + LimitText(14.0));
    EXPECT_EQ(TextOf(plot, "UCL"), "UCL " + LimitText(100 * summary.chart->points[0].upper));
    EXPECT_EQ(TextOf(plot, "LCL"), "") << "below zero, floored, not drawn";
    EXPECT_EQ(PointsOf(plot, "beyond a limit"), (Points{{ChartTime(3 * 86400), 50.0}}));
}

}  // namespace
