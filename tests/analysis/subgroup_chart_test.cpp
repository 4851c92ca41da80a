// Subgroup charts and p-charts against published worked examples, grouping at its edges, limits.
#include "analysis/subgroup_chart.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numeric>

#include "analysis/subgroup_constants.h"

using namespace qm4250;

namespace {

// Montgomery, Introduction to Statistical Quality Control, Table 6.3 (Example 6.3): the inside
// diameter of forged piston rings, 25 samples of 5, as R's qcc package holds them; here in
// thousandths of a mm over 74 mm, as are the printed means of samples 1 to 16. X̄̄ = 74.001 and X̄
// limits 74.014 and 73.988 from R̄ or s̄ (a deviation over n, not n - 1, would miss them), both
// charts in control; D4 = 2.114 and B4 = 2.089, printed from rounded constants, held to a unit.
TEST(WorkedExamples, MontgomeryPistonRingsXbarRAndXbarS) {
    const int thousandths[] = {
        30,  2,  19, -8,  8,   -5,  -8,  1,  11, 4,  -12, 24,  21,  5,   2,  2,   -4, -7,
        15,  9,  -8, 7,   15,  -11, 14,  9,  -6, -3, -15, -7,  -5,  6,   -6, 0,   5,  -15,
        3,   -7, 15, -12, 8,   -5,  9,   5,  4,  -2, 0,   -10, 7,   -5,  -6, -2,  -6, -5,
        -10, 4,  0,  7,   0,   -4,  -17, 2,  -2, -3, 12,  6,   -33, -6,  0,  -16, 12, 14,
        -2,  -1, 7,  0,   -16, 5,   -2,  -4, -6, 12, -14, 5,   7,   6,   10, 18,  3,  0,
        -16, 2,  3,  5,   -3,  0,   10,  13, 20, 3,  -12, 1,   9,   5,   -4, 4,   -1, -10,
        6,   9,  10, -11, -10, 9,   14,  15, 8,  -7, 0,   10,  -18, -16, -5, 17,  13};
    const int means[] = {10, 1, 8, 3, 3, -4, 0, -3, 4, -2, -6, 1, -2, -10, 6, -3};
    std::vector<double> rings;
    for (int x : thousandths)
        rings.push_back(74 + x / 1000.0);
    for (auto [statistic, upperFactor] : {std::pair{SpreadStatistic::Range, 2.114},
                                          std::pair{SpreadStatistic::StandardDeviation, 2.089}}) {
        SubgroupChart chart =
            SubgroupChartOf(rings, ConsecutiveSubgroups(rings, 5), statistic).value();
        ASSERT_TRUE(chart.points.size() == 25 && chart.equalSizes);
        for (size_t i = 0; i < std::size(means); ++i)
            EXPECT_NEAR(chart.points[i].mean, 74 + means[i] / 1000.0, 5e-4) << i;
        const SubgroupPoint& first = chart.points.front();
        EXPECT_NEAR(chart.grandMean, 74.001, 5e-4);
        EXPECT_NEAR(first.meanUpper, 74.014, 5e-4);
        EXPECT_NEAR(first.meanLower, 73.988, 5e-4);
        EXPECT_NEAR(first.spreadCentre, chart.averageSpread, 1e-12);
        EXPECT_NEAR(first.spreadUpper / chart.averageSpread, upperFactor, 1e-3);
        EXPECT_EQ(first.spreadLower, 0);
        EXPECT_EQ(chart.meansBeyond() + chart.spreadsBeyond(), 0u);
    }
}

// The same book's orange juice cans (Table 7.1), 30 samples of 50 as qcc holds them: p̄ = 0.2313,
// UCL = 0.4102, LCL = 0.0524, samples 15 and 23 above the UCL.
TEST(WorkedExamples, MontgomeryOrangeJuicePChart) {
    const uint64_t nonconforming[] = {12, 15, 8, 10, 4,  7,  16, 9,  14, 10, 5,  6, 17, 12, 22,
                                      8,  10, 5, 13, 11, 20, 18, 24, 15, 9,  12, 7, 13, 9,  6};
    std::vector<RejectCount> counts;
    for (uint64_t rejects : nonconforming)
        counts.push_back({static_cast<int64_t>(counts.size() + 1), 50, rejects});
    ProportionChart chart = ProportionChartOf(counts).value();
    EXPECT_NEAR(chart.rate, 0.2313, 5e-5);
    EXPECT_NEAR(chart.points.front().upper, 0.4102, 5e-5);
    EXPECT_NEAR(chart.points.front().lower, 0.0524, 5e-5);
    EXPECT_TRUE(chart.points[14].beyond && chart.points[22].beyond && chart.beyond() == 2);
}

// d2 and d3 integrated the furthest, against ASTM's table (Joglekar, Statistical Methods for Six
// Sigma, app. G); c4 from its series past 999 joins the exact value, and keeps its digits.
TEST(SubgroupConstants, LargeSubgroups) {
    EXPECT_NEAR(ConstantsForSubgroup(25).d2, 3.931, 5e-4);
    EXPECT_NEAR(ConstantsForSubgroup(25).d3, 0.7084, 5e-5);
    EXPECT_NEAR(DeviationBiasFor(1000).c4 - DeviationBiasFor(999).c4, 1 / 3.996e6, 1e-9);
    for (size_t n : {size_t{1000}, size_t{1'000'000}, size_t{1'000'000'000'000}})
        EXPECT_NEAR(DeviationBiasFor(n).spread * std::sqrt(2.0 * double(n)), 1, 1e-3) << n;
}

int64_t At(int64_t day, int hour, int minute) {
    return day * 86400 + hour * 3600 + minute * 60;
}

// Shifts at 06:00, 14:00 and 22:00: the night shift runs across midnight into the next morning.
// Hours and days, too, round down before the epoch.
TEST(Grouping, ByCountByKeyAndByShift) {
    // Values, n, subgroups: an incomplete last subgroup is left out; n outside 2 to 25 gives none.
    const std::array<size_t, 3> cases[] = {{12, 5, 2},  {10, 5, 2}, {4, 5, 0},  {0, 5, 0},
                                           {25, 25, 1}, {10, 1, 0}, {52, 26, 0}};
    for (auto [values, n, subgroups] : cases)
        EXPECT_EQ(ConsecutiveSubgroups(std::vector<double>(values), int(n)).size(), subgroups) << n;
    // A run of one key is none, and the key 7 come back is a new run.
    std::vector<Subgroup> runs = KeyedSubgroups(std::vector<int64_t>{7, 7, 8, 9, 9, 9, 7, 7, 4});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE(runs[1].first == 3 && runs[1].size == 3 && runs[2].first == 6 && runs[2].size == 2);
    ShiftCalendar shifts(std::array{360, 840, 1320});
    int64_t night = shifts.keyOf(At(3, 22, 0));
    const std::pair<int64_t, int64_t> shiftsAfterNight[] = {
        {At(3, 23, 59), 0}, {At(4, 0, 0), 0},  {At(4, 5, 59), 0},  {At(4, 6, 0), 1},
        {At(4, 13, 59), 1}, {At(4, 14, 0), 2}, {At(3, 21, 59), -1}};
    for (auto [seconds, after] : shiftsAfterNight)
        EXPECT_EQ(shifts.keyOf(seconds), night + after) << seconds;
    EXPECT_EQ(shifts.keyOf(At(-1, 23, 0)), shifts.keyOf(At(0, 5, 0))) << "before the epoch";
    EXPECT_EQ((std::array{HourKey(-1), HourKey(3600), DayKey(At(-1, 0, 0) - 1)}),
              (std::array<int64_t, 3>{-1, 1, -2}));
    // Starts out of the day passed over, the rest sorted and each kept once; none: from midnight.
    EXPECT_EQ(ShiftCalendar(std::array{1320, 360, -5, 840, 360, 1440}).starts(),
              (std::vector<int>{360, 840, 1320}));
    EXPECT_EQ(ShiftCalendar(std::span<const int>{}).keyOf(At(5, 23, 59)), 5);
}

// Subgroups by time differ in size: one sigma, the mean of R / d2(n) or s / c4(n), and limits that
// step with each size. A range of more than 25 values is left out; the S chart keeps it.
TEST(SubgroupLimits, UnequalSizesStepFromOneSigma) {
    std::vector<double> values(37);
    std::iota(values.begin(), values.end(), 0.0);
    const Subgroup groups[] = {{0, 2}, {2, 30}, {32, 5}};
    SubgroupChart r = SubgroupChartOf(values, groups, SpreadStatistic::Range).value();
    ASSERT_TRUE(r.points.size() == 2 && r.leftOut == 1);
    // R = 1 and 4 over the table's d2 = 1.128 and 2.326; every value weighs the same.
    EXPECT_NEAR(r.sigma, (1 / 1.128 + 4 / 2.326) / 2, 1e-3);
    EXPECT_NEAR(r.points[1].spreadCentre / r.points[0].spreadCentre, 2.326 / 1.128, 1e-3);
    EXPECT_NEAR(r.grandMean, (0 + 1 + 32 + 33 + 34 + 35 + 36) / 7.0, 1e-12);
    SubgroupChart s = SubgroupChartOf(values, groups, SpreadStatistic::StandardDeviation).value();
    ASSERT_EQ(s.points.size(), 3u);
    // c4(30) close to 4(n - 1) / (4n - 3), not c4(25) = 0.9896.
    EXPECT_NEAR(s.points[1].spreadCentre / s.sigma, 116.0 / 117, 1e-4);
    for (const SubgroupChart& chart : {r, s})
        for (const SubgroupPoint& p : chart.points)
            EXPECT_NEAR((p.meanUpper - chart.grandMean) * std::sqrt(double(p.group.size)),
                        3 * chart.sigma, 1e-12);
}

// Equal values must give their own mean back exactly (a plain sum of three 0.1 does not), or they
// would fall beyond limits collapsed onto it. Then a mean beyond, and a range beyond.
TEST(SubgroupLimits, WhatIsLeftOutAndWhatIsBeyond) {
    std::vector<double> values(30, 0.1);
    values[0] = std::nan("");
    values[4] = std::numeric_limits<double>::infinity();
    // Past the end, from out of range, of one value: left out as the two not numbers.
    std::vector<Subgroup> groups = ConsecutiveSubgroups(values, 3);
    groups.insert(groups.end(), {{28, 5}, {std::numeric_limits<size_t>::max(), 2}, {4, 1}});
    for (SpreadStatistic statistic : {SpreadStatistic::Range, SpreadStatistic::StandardDeviation}) {
        SubgroupChart chart = SubgroupChartOf(values, groups, statistic).value();
        EXPECT_TRUE(chart.leftOut == 5 && chart.points.size() == 8);
        EXPECT_TRUE(chart.sigma == 0 && chart.points.front().meanUpper == chart.grandMean);
        EXPECT_EQ(chart.meansBeyond() + chart.spreadsBeyond(), 0u);
    }
    EXPECT_FALSE(SubgroupChartOf(values, std::span(groups).first(1), SpreadStatistic::Range));

    values = {5.0, 5.2, 4.9, 5.1, 5.0, 5.1, 4.8, 5.0, 5.2, 5.1,
              9.0, 9.1, 5.0, 5.1, 5.2, 4.9, 3.0, 7.0, 5.1, 5.0};
    SubgroupChart chart =
        SubgroupChartOf(values, ConsecutiveSubgroups(values, 2), SpreadStatistic::Range).value();
    EXPECT_TRUE(chart.points[5].meanBeyond && !chart.points[5].spreadBeyond);
    EXPECT_TRUE(chart.points[8].spreadBeyond && !chart.points[8].meanBeyond);
    EXPECT_EQ(chart.meansBeyond() + chart.spreadsBeyond(), 2u);
}

TEST(PChart, CountsPerKeyAndLimitsFollowEachDaysTests) {
    // Keys in any order; the sixth has no reject flag.
    std::vector<RejectCount> counts =
        CountPerKey(std::vector<int64_t>{5, 5, 3, 5, 3, 9}, {true, false, true, false, false});
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_TRUE(counts[0].key == 3 && counts[0].tests == 2 && counts[0].rejects == 1);
    EXPECT_TRUE(counts[1].key == 5 && counts[1].tests == 3 && counts[1].rejects == 1);
    // No tests, or more rejects than tests: passed over.
    const RejectCount days[] = {{1, 400, 8}, {2, 10, 0}, {3, 100, 12}, {4, 0, 0}, {5, 3, 4}};
    ProportionChart chart = ProportionChartOf(days).value();
    ASSERT_EQ(chart.points.size(), 3u);
    EXPECT_DOUBLE_EQ(chart.rate, 20.0 / 510);
    EXPECT_LT(chart.points[0].upper, chart.points[2].upper);
    EXPECT_EQ(chart.points[1].lower, 0);
    EXPECT_TRUE(chart.points[2].beyond && chart.beyond() == 1);
    // p̄ 0 or 1: the limits collapse onto it, and nothing is beyond.
    const RejectCount p0[] = {{1, 50, 0}, {2, 50, 0}}, p1[] = {{1, 50, 50}, {2, 50, 50}};
    EXPECT_EQ(ProportionChartOf(p0).value().beyond() + ProportionChartOf(p1).value().beyond(), 0u);
    EXPECT_FALSE(ProportionChartOf({}));
}

}  // namespace
