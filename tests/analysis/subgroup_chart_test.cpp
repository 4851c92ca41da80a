// Subgroup charts and the p-chart against worked examples published with their numbers, the
// grouping by count, hour and shift at its edges, and limits of unequal subgroups.
#include "analysis/subgroup_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis/subgroup_constants.h"

using namespace qm4250;

namespace {

double HalfUnit(int decimals) {
    return 0.5 * std::pow(10.0, -decimals);
}

// Montgomery, Introduction to Statistical Quality Control, Table 6.3 (Example 6.3; 2nd ed.
// pp. 206-213): the inside diameter (mm) of forged piston rings, 25 samples of 5, as R's qcc
// package holds it (data/pistonrings.txt, trial samples).
const std::vector<double> kPistonRings{
    74.030, 74.002, 74.019, 73.992, 74.008, 73.995, 73.992, 74.001, 74.011, 74.004, 73.988, 74.024,
    74.021, 74.005, 74.002, 74.002, 73.996, 73.993, 74.015, 74.009, 73.992, 74.007, 74.015, 73.989,
    74.014, 74.009, 73.994, 73.997, 73.985, 73.993, 73.995, 74.006, 73.994, 74.000, 74.005, 73.985,
    74.003, 73.993, 74.015, 73.988, 74.008, 73.995, 74.009, 74.005, 74.004, 73.998, 74.000, 73.990,
    74.007, 73.995, 73.994, 73.998, 73.994, 73.995, 73.990, 74.004, 74.000, 74.007, 74.000, 73.996,
    73.983, 74.002, 73.998, 73.997, 74.012, 74.006, 73.967, 73.994, 74.000, 73.984, 74.012, 74.014,
    73.998, 73.999, 74.007, 74.000, 73.984, 74.005, 73.998, 73.996, 73.994, 74.012, 73.986, 74.005,
    74.007, 74.006, 74.010, 74.018, 74.003, 74.000, 73.984, 74.002, 74.003, 74.005, 73.997, 74.000,
    74.010, 74.013, 74.020, 74.003, 73.988, 74.001, 74.009, 74.005, 73.996, 74.004, 73.999, 73.990,
    74.006, 74.009, 74.010, 73.989, 73.990, 74.009, 74.014, 74.015, 74.008, 73.993, 74.000, 74.010,
    73.982, 73.984, 73.995, 74.017, 74.013};

// The table prints each sample's mean and standard deviation beside it (samples 1 to 16 here);
// the text finds both charts in control, X̄̄ = 74.001, and the X̄ chart's limits 74.014 and
// 73.988 whether made from R̄ or from s̄. D4 = 2.114 and B4 = 2.089, the table's for n = 5, are
// held to a unit of their last digit, having been printed from rounded constants.
TEST(WorkedExamples, MontgomeryPistonRingsXbarRAndXbarS) {
    const double printedMeans[] = {74.010, 74.001, 74.008, 74.003, 74.003, 73.996, 74.000, 73.997,
                                   74.004, 73.998, 73.994, 74.001, 73.998, 73.990, 74.006, 73.997};
    const double printedDeviations[] = {0.0148, 0.0075, 0.0147, 0.0091, 0.0122, 0.0087,
                                        0.0055, 0.0123, 0.0055, 0.0063, 0.0029, 0.0042,
                                        0.0105, 0.0153, 0.0073, 0.0078};
    std::vector<Subgroup> groups = ConsecutiveSubgroups(kPistonRings, 5);
    for (auto [statistic, upperFactor] : {std::pair{SpreadStatistic::Range, 2.114},
                                          std::pair{SpreadStatistic::StandardDeviation, 2.089}}) {
        std::optional<SubgroupChart> chart = SubgroupChartOf(kPistonRings, groups, statistic);
        ASSERT_TRUE(chart);
        ASSERT_EQ(chart->points.size(), 25u);
        EXPECT_TRUE(chart->equalSizes);
        for (size_t i = 0; i < std::size(printedMeans); ++i) {
            EXPECT_NEAR(chart->points[i].mean, printedMeans[i], HalfUnit(3)) << i;
            if (statistic == SpreadStatistic::StandardDeviation) {
                EXPECT_NEAR(chart->points[i].spread, printedDeviations[i], HalfUnit(4)) << i;
            }
        }
        const SubgroupPoint& first = chart->points.front();
        EXPECT_NEAR(chart->grandMean, 74.001, HalfUnit(3));
        EXPECT_NEAR(first.meanUpper, 74.014, HalfUnit(3));
        EXPECT_NEAR(first.meanLower, 73.988, HalfUnit(3));
        EXPECT_NEAR(first.spreadCentre, chart->averageSpread, 1e-12);
        EXPECT_NEAR(first.spreadUpper / chart->averageSpread, upperFactor, 2 * HalfUnit(3));
        EXPECT_EQ(first.spreadLower, 0);
        EXPECT_EQ(chart->meansBeyond() + chart->spreadsBeyond(), 0u);
    }
}

// The same book's orange juice cans (Table 7.1): nonconforming cans in 30 samples of 50, as qcc
// holds them (data/orangejuice.txt). The text prints p̄ = 0.2313, UCL = 0.4102 and
// LCL = 0.0524, samples 15 and 23 above the UCL. The NIST/SEMATECH e-Handbook's p-chart of 30
// wafers of 50 chips (section 6.3.3.2, pmc332) prints the same p̄ and limits; its per-wafer counts
// were not at hand to compare.
TEST(WorkedExamples, MontgomeryOrangeJuicePChart) {
    const uint64_t nonconforming[] = {12, 15, 8, 10, 4,  7,  16, 9,  14, 10, 5,  6, 17, 12, 22,
                                      8,  10, 5, 13, 11, 20, 18, 24, 15, 9,  12, 7, 13, 9,  6};
    std::vector<RejectCount> counts;
    for (uint64_t rejects : nonconforming)
        counts.push_back({static_cast<int64_t>(counts.size() + 1), 50, rejects});
    std::optional<ProportionChart> chart = ProportionChartOf(counts);
    ASSERT_TRUE(chart);
    EXPECT_NEAR(chart->rate, 0.2313, HalfUnit(4));
    EXPECT_NEAR(chart->points.front().upper, 0.4102, HalfUnit(4));
    EXPECT_NEAR(chart->points.front().lower, 0.0524, HalfUnit(4));
    std::vector<int64_t> beyond;
    for (const ProportionPoint& point : chart->points)
        if (point.beyond)
            beyond.push_back(point.count.key);
    EXPECT_EQ(beyond, (std::vector<int64_t>{15, 23}));
}

// ASTM's table as Joglekar prints it (Statistical Methods for Six Sigma, appendix G) past n = 10.
TEST(SubgroupConstants, MatchTheTablePastTen) {
    struct Row {
        int n;
        double d2, d3, c4, a2, d3Factor, d4Factor, a3, b3, b4;
    };
    for (const Row& row :
         {Row{15, 3.472, 0.7562, 0.9823, 0.223, 0.347, 1.653, 0.789, 0.428, 1.572},
          Row{20, 3.735, 0.7287, 0.9869, 0.180, 0.415, 1.585, 0.680, 0.510, 1.490},
          Row{25, 3.931, 0.7084, 0.9896, 0.153, 0.459, 1.541, 0.606, 0.565, 1.435}}) {
        const SubgroupConstants& c = ConstantsForSubgroup(row.n);
        EXPECT_NEAR(c.d2, row.d2, HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.d3, row.d3, HalfUnit(4)) << row.n;
        EXPECT_NEAR(c.c4, row.c4, HalfUnit(4)) << row.n;
        EXPECT_NEAR(c.a2, row.a2, HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.lowerRange, row.d3Factor, 2 * HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.upperRange, row.d4Factor, 2 * HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.a3, row.a3, HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.lowerSigma, row.b3, HalfUnit(3)) << row.n;
        EXPECT_NEAR(c.upperSigma, row.b4, HalfUnit(3)) << row.n;
    }
}

// From a thousand values on c4 comes from a series: it must join the exact value, and sqrt(1 - c4²)
// tend to 1 / sqrt(2n) rather than lose its digits.
TEST(SubgroupConstants, DeviationBiasOfLargeSubgroups) {
    DeviationBias before = DeviationBiasFor(999), after = DeviationBiasFor(1000);
    EXPECT_LT(before.c4, after.c4);
    EXPECT_NEAR(after.c4 - before.c4, 1.0 / (4 * 999) - 1.0 / (4 * 1000), 1e-9);
    for (size_t n : {size_t{1000}, size_t{1'000'000}, size_t{1'000'000'000'000}})
        EXPECT_NEAR(DeviationBiasFor(n).spread * std::sqrt(2.0 * double(n)), 1, 1e-3) << n;
}

TEST(Grouping, ConsecutiveLeavesOutAnIncompleteLastSubgroup) {
    struct Case {
        size_t values;
        int n;
        size_t subgroups;
    };
    for (Case c : {Case{12, 5, 2}, Case{10, 5, 2}, Case{4, 5, 0}, Case{0, 5, 0}, Case{25, 25, 1},
                   Case{10, 1, 0}, Case{52, 26, 0}}) {
        std::vector<Subgroup> groups = ConsecutiveSubgroups(std::vector<double>(c.values), c.n);
        ASSERT_EQ(groups.size(), c.subgroups) << c.values << " by " << c.n;
        for (size_t i = 0; i < groups.size(); ++i)
            EXPECT_TRUE(groups[i].first == i * size_t(c.n) && groups[i].size == size_t(c.n));
    }
}

TEST(Grouping, EachRunOfAKeyIsASubgroupAndOneValueIsNone) {
    std::vector<Subgroup> groups = KeyedSubgroups(std::vector<int64_t>{7, 7, 8, 9, 9, 9, 7, 7, 4});
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_TRUE(groups[0].first == 0 && groups[0].size == 2);
    EXPECT_TRUE(groups[1].first == 3 && groups[1].size == 3);
    EXPECT_TRUE(groups[2].first == 6 && groups[2].size == 2) << "a key come back is a new run";
    EXPECT_TRUE(KeyedSubgroups({}).empty());
}

constexpr int64_t kDay = 86400;
int64_t At(int64_t day, int hour, int minute) {
    return day * kDay + hour * 3600 + minute * 60;
}

// Shifts at 06:00, 14:00 and 22:00: the night shift runs across midnight into the next morning.
// Hours and days, too, round down before the epoch.
TEST(Grouping, ShiftsRunAcrossMidnight) {
    const int starts[] = {360, 840, 1320};
    ShiftCalendar shifts(starts);
    int64_t night = shifts.keyOf(At(3, 22, 0));
    EXPECT_EQ(shifts.keyOf(At(3, 23, 59)), night);
    EXPECT_EQ(shifts.keyOf(At(4, 0, 0)), night);
    EXPECT_EQ(shifts.keyOf(At(4, 5, 59)), night);
    EXPECT_EQ(shifts.keyOf(At(4, 6, 0)), night + 1);
    EXPECT_EQ(shifts.keyOf(At(4, 13, 59)), night + 1);
    EXPECT_EQ(shifts.keyOf(At(4, 14, 0)), night + 2);
    EXPECT_EQ(shifts.keyOf(At(3, 21, 59)), night - 1);
    EXPECT_EQ(shifts.keyOf(At(-1, 23, 0)), shifts.keyOf(At(0, 5, 0))) << "before the epoch";
    EXPECT_EQ(HourKey(-1), -1);
    EXPECT_EQ(HourKey(3600), 1);
    EXPECT_EQ(DayKey(-kDay - 1), -2);
}

TEST(Grouping, ShiftStartsAreSortedDeduplicatedAndChecked) {
    const int messy[] = {1320, 360, -5, 840, 360, 1440};
    const int tidy[] = {360, 840, 1320};
    ShiftCalendar fromMessy(messy), fromTidy(tidy), none(std::span<const int>{});
    EXPECT_EQ(fromMessy.starts(), (std::vector<int>{360, 840, 1320}));
    for (int64_t t : {At(5, 0, 30), At(5, 6, 0), At(5, 15, 0), At(5, 22, 30)})
        EXPECT_EQ(fromMessy.keyOf(t), fromTidy.keyOf(t));
    EXPECT_EQ(none.keyOf(At(5, 23, 59)), 5) << "one shift a day from midnight";
    EXPECT_LT(fromTidy.keyOf(std::numeric_limits<int64_t>::min()),
              fromTidy.keyOf(std::numeric_limits<int64_t>::max()));
}

// Subgroups by time differ in size: one sigma, and limits that step with each size.
TEST(SubgroupLimits, UnequalSizesStepFromOneSigma) {
    const std::vector<double> values{1.0, 1.4, 2.0, 2.1, 1.7, 1.2, 1.5, 1.1, 1.9,
                                     1.3, 1.6, 1.4, 1.8, 1.0, 1.5, 1.7, 1.2};
    const Subgroup groups[] = {{0, 2}, {2, 5}, {7, 10}};
    std::optional<SubgroupChart> chart = SubgroupChartOf(values, groups, SpreadStatistic::Range);
    ASSERT_TRUE(chart);
    EXPECT_FALSE(chart->equalSizes);
    // R = 0.4, 0.9 and 0.9 over the table's d2 = 1.128, 2.326 and 3.078.
    EXPECT_NEAR(chart->sigma, (0.4 / 1.128 + 0.9 / 2.326 + 0.9 / 3.078) / 3, 1e-3);
    double sum = 0;
    for (double v : values)
        sum += v;
    EXPECT_NEAR(chart->grandMean, sum / 17, 1e-12) << "every value weighs the same";
    for (const SubgroupPoint& p : chart->points) {
        double n = double(p.group.size);
        EXPECT_NEAR((p.meanUpper - chart->grandMean) * std::sqrt(n), 3 * chart->sigma, 1e-12);
        EXPECT_NEAR(p.spreadCentre, ConstantsForSubgroup(int(n)).d2 * chart->sigma, 1e-12);
    }
    EXPECT_GT(chart->points[0].meanUpper, chart->points[2].meanUpper);
}

TEST(SubgroupLimits, RangesPastTheTableAreLeftOutAndDeviationsKept) {
    std::vector<double> values{1, 2, 3, 4, 5};
    for (int i = 0; i < 35; ++i)
        values.push_back(i % 7);
    const Subgroup groups[] = {{0, 5}, {5, 30}, {35, 5}};
    std::optional<SubgroupChart> ranges = SubgroupChartOf(values, groups, SpreadStatistic::Range);
    std::optional<SubgroupChart> deviations =
        SubgroupChartOf(values, groups, SpreadStatistic::StandardDeviation);
    ASSERT_TRUE(ranges && deviations);
    EXPECT_EQ(ranges->points.size(), 2u);
    EXPECT_EQ(ranges->leftOut, 1u);
    EXPECT_EQ(deviations->points.size(), 3u);
    // c4(30), within the approximation 4(n - 1) / (4n - 3), not c4(25) = 0.9896.
    EXPECT_NEAR(deviations->points[1].spreadCentre / deviations->sigma, 116.0 / 117, 1e-4);
}

TEST(SubgroupLimits, ZeroSpreadCollapsesOntoTheCentreWithNothingBeyond) {
    std::vector<double> values(20, 0.0029);
    for (SpreadStatistic statistic : {SpreadStatistic::Range, SpreadStatistic::StandardDeviation}) {
        std::optional<SubgroupChart> chart =
            SubgroupChartOf(values, ConsecutiveSubgroups(values, 4), statistic);
        ASSERT_TRUE(chart);
        EXPECT_EQ(chart->sigma, 0);
        EXPECT_EQ(chart->points.front().meanUpper, chart->grandMean);
        EXPECT_EQ(chart->meansBeyond() + chart->spreadsBeyond(), 0u);
    }
}

TEST(SubgroupLimits, FindsWhatIsBeyondAndSurvivesBadInput) {
    std::vector<double> values{5.0, 5.2, 4.9, 5.1, 5.0, 5.1, 4.8, 5.0, 5.2, 5.1,
                               9.0, 9.1, 5.0, 5.1, 5.2, 4.9, 3.0, 7.0, 5.1, 5.0};
    std::vector<Subgroup> pairs = ConsecutiveSubgroups(values, 2);
    std::optional<SubgroupChart> chart = SubgroupChartOf(values, pairs, SpreadStatistic::Range);
    ASSERT_TRUE(chart);
    EXPECT_TRUE(chart->points[5].meanBeyond && !chart->points[5].spreadBeyond);
    EXPECT_TRUE(chart->points[8].spreadBeyond && !chart->points[8].meanBeyond);
    EXPECT_EQ(chart->meansBeyond() + chart->spreadsBeyond(), 2u);

    values[0] = std::nan("");
    values[3] = std::numeric_limits<double>::infinity();
    const Subgroup outside[] = {{18, 5}, {std::numeric_limits<size_t>::max(), 2}, {4, 1}};
    std::vector<Subgroup> groups(pairs);
    groups.insert(groups.end(), std::begin(outside), std::end(outside));
    chart = SubgroupChartOf(values, groups, SpreadStatistic::Range);
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->leftOut, 5u);
    EXPECT_EQ(chart->points.size(), 8u);
    EXPECT_TRUE(std::isfinite(chart->grandMean) && std::isfinite(chart->sigma));

    EXPECT_FALSE(SubgroupChartOf(values, {}, SpreadStatistic::Range));
    const Subgroup broken[] = {{0, 2}};
    EXPECT_FALSE(SubgroupChartOf(values, broken, SpreadStatistic::StandardDeviation));
}

TEST(PChart, LimitsFollowEachDaysTestsWithinZeroAndOne) {
    const RejectCount days[] = {{1, 400, 8}, {2, 10, 0}, {3, 100, 12}, {4, 0, 0}, {5, 3, 4}};
    std::optional<ProportionChart> chart = ProportionChartOf(days);
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->points.size(), 3u) << "no tests, or more rejects than tests: passed over";
    EXPECT_DOUBLE_EQ(chart->rate, 20.0 / 510);
    EXPECT_LT(chart->points[0].upper, chart->points[2].upper);
    EXPECT_EQ(chart->points[1].lower, 0);
    EXPECT_TRUE(chart->points[2].beyond);
    EXPECT_EQ(chart->beyond(), 1u);

    for (uint64_t rejects : {0, 50}) {
        const RejectCount flat[] = {{1, 50, rejects}, {2, 50, rejects}};
        chart = ProportionChartOf(flat);
        ASSERT_TRUE(chart);
        EXPECT_EQ(chart->points[0].upper, chart->points[0].lower);
        EXPECT_EQ(chart->beyond(), 0u) << rejects;
    }
    EXPECT_FALSE(ProportionChartOf({}));
}

TEST(PChart, CountsPerKeyWhateverTheOrder) {
    std::vector<RejectCount> counts =
        CountPerKey(std::vector<int64_t>{5, 5, 3, 5, 3, 9}, {true, false, true, false, false});
    ASSERT_EQ(counts.size(), 2u) << "the sixth key has no reject flag";
    EXPECT_TRUE(counts[0].key == 3 && counts[0].tests == 2 && counts[0].rejects == 1);
    EXPECT_TRUE(counts[1].key == 5 && counts[1].tests == 3 && counts[1].rejects == 1);
}

}  // namespace
