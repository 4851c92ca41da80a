// Statistics against values worked out by hand.
#include <gtest/gtest.h>

#include "analysis/axis_range.h"
#include "analysis/chart_data.h"
#include "analysis/chart_judgement.h"
#include "analysis/control_chart.h"
#include "analysis/density_grid.h"
#include "analysis/normal_distribution.h"
#include "analysis/part_statistics.h"
#include "analysis/process_series.h"

using namespace qm4250;

namespace {

struct LimitsCase {
    std::vector<double> values;
    double mean, sigmaMovingRange, sigmaOverall;
};

class Limits : public testing::TestWithParam<LimitsCase> {};

TEST_P(Limits, MeanAndBothSigmas) {
    const LimitsCase& c = GetParam();
    std::optional<ControlLimits> limits = IndividualsLimits(c.values);
    ASSERT_TRUE(limits);
    EXPECT_NEAR(limits->mean, c.mean, 1e-9);
    EXPECT_NEAR(limits->sigmaMovingRange, c.sigmaMovingRange, 1e-6);
    EXPECT_NEAR(limits->upper, c.mean + 3 * c.sigmaMovingRange, 1e-6);
    EXPECT_NEAR(limits->lower, c.mean - 3 * c.sigmaMovingRange, 1e-6);
    EXPECT_NEAR(limits->averageMovingRange, c.sigmaMovingRange * 1.128, 1e-9);
    EXPECT_NEAR(limits->movingRangeUpper, 3.267 * c.sigmaMovingRange * 1.128, 1e-9);
    EXPECT_NEAR(*OverallSigma(c.values), c.sigmaOverall, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Hand, Limits,
                         testing::Values(
                             // ranges 1, 1, 1, 1; squares 4 + 1 + 0 + 1 + 4 = 10 over 4
                             LimitsCase{{1, 2, 3, 4, 5}, 3, 1 / 1.128, 1.5811388},
                             // ranges 2, 0, 0, 1, 0, 2, 2: 7 over 7; squares 32 over 7
                             LimitsCase{{2, 4, 4, 4, 5, 5, 7, 9}, 5, 1 / 1.128, 2.1380899},
                             // a steady drift: small ranges, a wide overall spread
                             LimitsCase{
                                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 4.5, 1 / 1.128, 3.0276504}));

TEST(Limits, NeedTwoValues) {
    EXPECT_FALSE(IndividualsLimits(std::vector<double>{}));
    EXPECT_FALSE(IndividualsLimits(std::vector<double>{1.5}));
    EXPECT_FALSE(OverallSigma({1.5}));
}

// The limits come from the tests kept for them, or are frozen; every test is judged against them.
TEST(Judgement, LimitsFromTheKeptTestsOrFrozenJudgeEveryTest) {
    std::vector<double> values{1, 2, 1, 2, 1, 2, 40, 2, 1, 2};
    ProcessSeries series = WholeSeries(values);
    ChartJudgement with = JudgeChart(series, std::nullopt, kDefaultRunRules);
    series.kept[6] = false;
    ChartJudgement without = JudgeChart(series, std::nullopt, kDefaultRunRules);
    ASSERT_TRUE(with.limits && without.limits);
    EXPECT_GT(with.limits->upper, 20) << "the outlier widens the limits it is in";
    EXPECT_DOUBLE_EQ(without.limits->mean, 14.0 / 9);
    // Seven ranges of 1: the two to and from the outlier are not formed, nor one across it.
    EXPECT_DOUBLE_EQ(without.limits->averageMovingRange, 1);
    EXPECT_TRUE(without.broken[6]);
    EXPECT_EQ(without.pointsBroken, 1u);

    ControlLimits frozen{0, 0.5, -1.5, 1.5, 0.564, 1.843};
    ChartJudgement judged = JudgeChart(WholeSeries(values), frozen, kDefaultRunRules);
    EXPECT_TRUE(judged.frozen);
    // Every 2 (and the outlier) lies beyond the frozen 3 sigma; all lie above the frozen centre,
    // so the eighth in a row and those after break rule 4 too, and count once.
    EXPECT_EQ(judged.breaks.size(), 9u);
    EXPECT_EQ(judged.broken, (std::vector<bool>{0, 1, 0, 1, 0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(judged.pointsBroken, 7u);
    EXPECT_FALSE(JudgeChart(WholeSeries({5}), std::nullopt, kDefaultRunRules).limits);
}

// Tests as a leak tester gives them: parts leaking 0.0029 and 0.0031 in turn (a moving range of
// 0.0002 each), among them gross leaks, "OVER", rejects and tests left out.
TestReading Good(double leak) {
    return {leak, LeakReading::Number, false, true};
}
TestReading Reject(double leak) {
    return {leak, LeakReading::Number, true, false};
}
TestReading Over() {
    return {std::nullopt, LeakReading::Over, true, false};
}
TestReading LeftOut(double leak) {
    return {leak, LeakReading::Number, false, false};
}

std::vector<TestReading> Process(size_t count, std::vector<std::pair<size_t, TestReading>> among) {
    std::vector<TestReading> tests;
    for (size_t k = 0; k < count; ++k) {
        for (const auto& [at, test] : among)
            if (at == k)
                tests.push_back(test);
        tests.push_back(Good(k % 2 ? 0.0031 : 0.0029));
    }
    return tests;
}

struct PopulationCase {
    const char* name;
    std::vector<TestReading> tests;
    PartJudging judging;
    size_t n, kept;
    double rejectRate, mean, averageMovingRange;
    std::optional<double> observedPpm, cpk;
};

class Populations : public testing::TestWithParam<PopulationCase> {};

// n, the reject rate and the share outside count every test; the mean, the sigmas and the indices
// describe the process, whose moving ranges never span a test removed from it.
TEST_P(Populations, EachQuestionHasItsOwnPopulation) {
    const PopulationCase& c = GetParam();
    PartStatistics part = StatisticsOfPart("P", c.tests, c.judging);
    EXPECT_EQ(part.n, c.n);
    EXPECT_EQ(part.kept, c.kept);
    EXPECT_NEAR(part.rejectRate, c.rejectRate, 1e-12);
    EXPECT_NEAR(part.mean, c.mean, 1e-12);
    ASSERT_TRUE(part.sigmaMovingRange);
    EXPECT_NEAR(*part.sigmaMovingRange * 1.128, c.averageMovingRange, 1e-12);
    EXPECT_NEAR(*part.suggestedSetPoint, part.mean + 3 * *part.sigmaOverall, 1e-12);
    EXPECT_EQ(part.observedPpm.has_value(), c.observedPpm.has_value());
    if (c.observedPpm)
        EXPECT_NEAR(*part.observedPpm, *c.observedPpm, 1e-6);
    EXPECT_EQ(part.capability.has_value(), c.cpk.has_value());
    if (c.cpk && part.capability) {
        EXPECT_NEAR(part.capability->cpk, *c.cpk, 1e-9);
        if (part.capability->cp)
            EXPECT_LE(part.capability->cpk, *part.capability->cp + 1e-12);
    }
    if (c.judging.frozen)
        EXPECT_EQ(part.limits->mean, c.judging.frozen->mean) << "frozen limits judge";
}

const ToleranceLimits kUpper{std::nullopt, 0.005};
const ControlLimits kFrozen{0.004, 0.001, 0.001, 0.007, 0.001128, 0.003685};

INSTANTIATE_TEST_SUITE_P(
    LeakTester, Populations,
    testing::Values(
        // Cpk (0.005 - 0.003) / (3 * 0.0002 / 1.128) = 3.76: the gross leaks neither move the
        // mean nor form a range.
        PopulationCase{"GrossLeaks",
                       Process(40, {{10, Reject(9.9)}, {20, Reject(5.5)}}),
                       {std::nullopt, kDefaultRunRules, kUpper},
                       42,
                       40,
                       2.0 / 42,
                       0.003,
                       0.0002,
                       1e6 * 2 / 42,
                       3.76},
        // 200 tests, 8 rejects, 2 of them "OVER": 4 % of 200, and 8 beyond the USL.
        PopulationCase{"OverCountsInN",
                       Process(192, {{10, Reject(7.5)},
                                     {30, Over()},
                                     {50, Reject(5.1)},
                                     {70, Reject(6.2)},
                                     {90, Over()},
                                     {110, Reject(9.9)},
                                     {130, Reject(8.8)},
                                     {150, Reject(5.0)}}),
                       {std::nullopt, kDefaultRunRules, kUpper},
                       200,
                       192,
                       0.04,
                       0.003,
                       0.0002,
                       40'000,
                       3.76},
        // The test left out is no bridge: 4 and 6 are not neighbours (a range of 0 would be).
        PopulationCase{"LeftOutIsNoBridge",
                       Process(10, {{5, LeftOut(0.01)}}),
                       {},
                       11,
                       10,
                       0,
                       0.003,
                       0.0002,
                       std::nullopt,
                       std::nullopt},
        // Frozen limits judge the points; the capability is the process's own, centred in 0.001
        // to 0.005: Cp = Cpk = 0.004 / (6 * 0.0002 / 1.128).
        PopulationCase{"FrozenLimitsJudgeOnly",
                       Process(40, {{3, Reject(0.02)}}),
                       {kFrozen, kDefaultRunRules, ToleranceLimits{0.001, 0.005}},
                       41,
                       40,
                       1.0 / 41,
                       0.003,
                       0.0002,
                       1e6 / 41,
                       3.76}),
    [](const auto& info) { return info.param.name; });

TEST(PartStatistics, FewOrNoTests) {
    PartStatistics one = StatisticsOfPart("B", {Good(7)});
    EXPECT_EQ(one.n, 1u);
    EXPECT_FALSE(one.sigmaOverall) << "one test has no spread";
    EXPECT_FALSE(one.suggestedSetPoint);
    EXPECT_FALSE(one.limits);
    PartStatistics over = StatisticsOfPart("C", {Over(), Over()}, {std::nullopt, {}, kUpper});
    EXPECT_EQ(over.n, 2u);
    EXPECT_EQ(over.kept, 0u);
    EXPECT_FALSE(over.min);
    EXPECT_DOUBLE_EQ(*over.observedPpm, 1e6) << "\"OVER\" is beyond the USL";
    EXPECT_EQ(StatisticsOfPart("D", {}).n, 0u);
}

TEST(Decimation, KeepsTheLowestAndHighestOfEachColumn) {
    std::vector<ChartPoint> points;
    for (int i = 0; i < 1000; ++i)
        points.push_back({static_cast<double>(i), i % 2 ? 1.0 : 2.0});
    points[537].y = 50;   // an outlier
    points[538].y = -40;  // and one the other way, in the same column
    std::vector<size_t> kept = DecimateMinMax(points, 10);
    EXPECT_LE(kept.size(), 20u);
    EXPECT_NE(std::find(kept.begin(), kept.end(), 537u), kept.end());
    EXPECT_NE(std::find(kept.begin(), kept.end(), 538u), kept.end());
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    for (size_t column = 0; column < 10; ++column) {
        double lowest = 1e9, highest = -1e9;
        for (size_t i = column * 100; i < column * 100 + 100; ++i) {
            lowest = std::min(lowest, points[i].y);
            highest = std::max(highest, points[i].y);
        }
        bool low = false, high = false;
        for (size_t i : kept) {
            low = low || (i / 100 == column && points[i].y == lowest);
            high = high || (i / 100 == column && points[i].y == highest);
        }
        EXPECT_TRUE(low && high) << "column " << column;
    }
    EXPECT_EQ(DecimateMinMax({{0, 1}, {1, 2}, {2, 3}}, 10).size(), 3u)
        << "few points are all drawn";
}

// Leaks as the archive gives them back: decimal text read as doubles, never exact.
std::vector<double> Readings(int fromStep, int toStep, int each) {
    std::vector<double> values;
    for (int step = fromStep; step <= toStep; ++step)
        for (int k = 0; k < each; ++k)
            values.push_back(std::stod("0.00" + std::to_string(step)));
    return values;
}

struct BinCase {
    size_t maxBins;
    double width;
    std::vector<size_t> counts;
};

class ResolutionBins : public testing::TestWithParam<BinCase> {};

// Steps 20 to 40 of 0.0001, five readings each: every bin holds whole steps, so the counts are
// even; bins cut at arbitrary edges would alternate between halved and doubled.
TEST_P(ResolutionBins, AreWholeStepsWithEdgesBetweenThem) {
    Histogram histogram = MakeHistogram(Readings(20, 40, 5), GetParam().maxBins);
    EXPECT_NEAR(histogram.width, GetParam().width, 1e-12);
    EXPECT_NEAR(histogram.start, 0.00195, 1e-12);
    EXPECT_EQ(histogram.counts, GetParam().counts);
}

INSTANTIATE_TEST_SUITE_P(Hand, ResolutionBins,
                         testing::Values(BinCase{30, 0.0001, std::vector<size_t>(21, 5)},
                                         BinCase{7, 0.0003, std::vector<size_t>(7, 15)},
                                         BinCase{10, 0.0003, std::vector<size_t>(7, 15)},
                                         BinCase{4, 0.0006, {30, 30, 30, 15}}));

// Freedman and Diaconis's count where it is the larger, Sturges's where readings are few.
TEST(Histogram, BinsSuitTheNumberOfValues) {
    auto sequence = [](size_t n) {
        std::vector<double> values(n);
        for (size_t k = 0; k < n; ++k)
            values[k] = static_cast<double>(k);
        return values;
    };
    EXPECT_EQ(HistogramBins({}), 1u);
    EXPECT_EQ(HistogramBins({4}), 1u);
    EXPECT_EQ(HistogramBins(sequence(1000)), 11u) << "Sturges: 10 + 1; FD: 999 / 100";
    std::vector<double> reversed = sequence(8000);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(HistogramBins(reversed), 20u) << "FD: 7999 / (2 * 4000 / 20); Sturges: 14";
    EXPECT_EQ(HistogramBins(sequence(1'000'000)), kMostHistogramBins);
    EXPECT_EQ(HistogramBins({1, 1, 1, 1, 1, 1, 1, 9}), 4u) << "no IQR: Sturges";
}

TEST(Histogram, ResolutionOneValueAndTheNormalCurve) {
    EXPECT_NEAR(MeasurementResolution({0.0027, 0.0029, 0.0029 + 1e-18, 0.0031}), 0.0002, 1e-15);
    EXPECT_EQ(MeasurementResolution({4, 4}), 0);
    Histogram one = MakeHistogram({0.0029, 0.0029}, 30);
    EXPECT_EQ(one.counts, std::vector<size_t>{2});
    EXPECT_NEAR(one.start + one.width / 2, 0.0029, 1e-15) << "centred on the value";
    EXPECT_NEAR(NormalDensity(0, 0, 1), 0.3989423, 1e-7);
    EXPECT_NEAR(NormalDensity(7, 5, 2), 0.1209854, 1e-7);
}

struct RangeCase {
    const char* name;
    std::vector<double> values, marks;
    AxisRange expected;
};

class Ranges : public testing::TestWithParam<RangeCase> {};

TEST_P(Ranges, HoldEveryPointAndLimitWithAMargin) {
    const RangeCase& c = GetParam();
    AxisRange range = PaddedRange(c.values, c.marks);
    EXPECT_NEAR(range.lower, c.expected.lower, 1e-12);
    EXPECT_NEAR(range.upper, c.expected.upper, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, Ranges,
    testing::Values(RangeCase{"None", {}, {}, {0, 1}},
                    RangeCase{"OneTest", {0.003}, {}, {0.00285, 0.00315}},
                    RangeCase{"AllZero", {0, 0}, {0, 0}, {-0.05, 0.05}},
                    RangeCase{"TwoTests", {1, 3}, {}, {0.9, 3.1}},
                    RangeCase{"LimitsBeyondThePoints", {2, 3}, {0, 5}, {-0.25, 5.25}},
                    RangeCase{"OutlierHigh", {1, 1, 21}, {0, 2}, {-1.05, 22.05}},
                    RangeCase{"OutlierLow", {-19, 1, 1}, {0, 2}, {-20.05, 3.05}}),
    [](const auto& info) { return info.param.name; });

TEST(Density, CountsEachKeptPointInItsCellAndNoneOutsideTheView) {
    DensityGrid grid =
        CountDensity({0, 0.5, 9.99, 10, 5, 11, 5}, {0, 0.2, 1, 1, 0.5, 0.5, 0.5},
                     {true, true, true, true, true, true, false}, 10, 2, {0, 10}, {0, 1});
    EXPECT_EQ(grid.at(0, 0), 2u);
    EXPECT_EQ(grid.at(9, 1), 2u) << "the upper edges belong to the last cells";
    EXPECT_EQ(grid.at(5, 1), 1u) << "one of the two at (5, 0.5) is not kept";
    uint32_t total = 0;
    for (uint32_t count : grid.counts)
        total += count;
    EXPECT_EQ(total, 5u) << "x = 11 lies outside the view";
}

}  // namespace
