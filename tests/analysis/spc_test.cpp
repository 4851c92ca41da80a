// Subgroup constants against the standard table, each run rule at its threshold, and capability
// indices against values worked by hand from the normal distribution.
#include <gtest/gtest.h>

#include <string>

#include "analysis/capability.h"
#include "analysis/run_rules.h"
#include "analysis/subgroup_constants.h"

using namespace qm4250;

namespace {

// The table as printed in SPC texts (e.g. ASTM STP 15D, Montgomery's appendix).
struct TableRow {
    int n;
    double a2, a3, d2, d3, lowerRange, upperRange, c4, lowerSigma, upperSigma;
};

class ConstantsTable : public testing::TestWithParam<TableRow> {};

// Each to half a unit of its last printed digit, but D3 and D4: those were printed from the rounded
// d2 and d3 (D4 for n = 3: 1 + 3 × 0.888 / 1.693 = 2.574, where the exact constants give 2.5746),
// so they are held to a unit of the last digit.
TEST_P(ConstantsTable, MatchToThePrintedPrecision) {
    const TableRow& row = GetParam();
    const SubgroupConstants& c = ConstantsForSubgroup(row.n);
    EXPECT_NEAR(c.d2, row.d2, 0.0005);
    EXPECT_NEAR(c.d3, row.d3, 0.0005);
    EXPECT_NEAR(c.c4, row.c4, 0.00005);
    EXPECT_NEAR(c.a2, row.a2, 0.0005);
    EXPECT_NEAR(c.a3, row.a3, 0.0005);
    EXPECT_NEAR(c.lowerRange, row.lowerRange, 0.001);
    EXPECT_NEAR(c.upperRange, row.upperRange, 0.001);
    EXPECT_NEAR(c.lowerSigma, row.lowerSigma, 0.0005);
    EXPECT_NEAR(c.upperSigma, row.upperSigma, 0.0005);
}

INSTANTIATE_TEST_SUITE_P(
    TwoToTen, ConstantsTable,
    testing::Values(TableRow{2, 1.880, 2.659, 1.128, 0.853, 0, 3.267, 0.7979, 0, 3.267},
                    TableRow{3, 1.023, 1.954, 1.693, 0.888, 0, 2.574, 0.8862, 0, 2.568},
                    TableRow{4, 0.729, 1.628, 2.059, 0.880, 0, 2.282, 0.9213, 0, 2.266},
                    TableRow{5, 0.577, 1.427, 2.326, 0.864, 0, 2.114, 0.9400, 0, 2.089},
                    TableRow{6, 0.483, 1.287, 2.534, 0.848, 0, 2.004, 0.9515, 0.030, 1.970},
                    TableRow{7, 0.419, 1.182, 2.704, 0.833, 0.076, 1.924, 0.9594, 0.118, 1.882},
                    TableRow{8, 0.373, 1.099, 2.847, 0.820, 0.136, 1.864, 0.9650, 0.185, 1.815},
                    TableRow{9, 0.337, 1.032, 2.970, 0.808, 0.184, 1.816, 0.9693, 0.239, 1.761},
                    TableRow{10, 0.308, 0.975, 3.078, 0.797, 0.223, 1.777, 0.9727, 0.284, 1.716}),
    [](const auto& info) { return "n" + std::to_string(info.param.n); });

// Centre 0, sigma 1. `atThreshold` completes the pattern at its last point; the same without its
// first point (or `oneShort` where given) falls one point short; one value more goes on breaking.
struct RuleCase {
    const char* name;
    RunRule rule;
    std::vector<double> atThreshold;
    double next;
    std::vector<double> oneShort;
};

std::vector<double> Repeated(size_t count, double value) {
    return std::vector<double>(count, value);
}

std::vector<double> Alternating(size_t count, double low, double high) {
    std::vector<double> values;
    for (size_t i = 0; i < count; ++i)
        values.push_back(i % 2 ? high : low);
    return values;
}

std::vector<double> Rising(size_t count) {
    std::vector<double> values;
    for (size_t i = 0; i < count; ++i)
        values.push_back(-1 + 0.1 * static_cast<double>(i));
    return values;
}

std::vector<size_t> BrokenAt(const std::vector<double>& values, RunRule rule) {
    std::vector<size_t> at;
    for (const RunRuleBreak& broken : FindRunRuleBreaks(values, 0, 1, {rule}))
        at.push_back(broken.index);
    return at;
}

class RunRules : public testing::TestWithParam<RuleCase> {};

TEST_P(RunRules, BreakAtTheirThresholdAndNotBefore) {
    const RuleCase& c = GetParam();
    std::vector<double> shortOfIt =
        c.oneShort.empty() ? std::vector<double>(c.atThreshold.begin() + 1, c.atThreshold.end())
                           : c.oneShort;
    EXPECT_TRUE(BrokenAt(shortOfIt, c.rule).empty());
    size_t last = c.atThreshold.size() - 1;
    EXPECT_EQ(BrokenAt(c.atThreshold, c.rule), std::vector<size_t>{last});
    std::vector<double> beyond = c.atThreshold;
    beyond.push_back(c.next);
    EXPECT_EQ(BrokenAt(beyond, c.rule), (std::vector<size_t>{last, last + 1}));
}

INSTANTIATE_TEST_SUITE_P(
    EachRule, RunRules,
    testing::Values(
        RuleCase{"WesternElectric1", RunRule::WesternElectric1, {0, 3.01}, -3.5, {0, 3.0}},
        RuleCase{"Nelson1", RunRule::Nelson1, {0, -3.01}, 3.5, {0, -3.0}},
        RuleCase{"WesternElectric2", RunRule::WesternElectric2, {2.5, 0, 2.5}, 2.5, {2.5, 0, 1.9}},
        RuleCase{"Nelson5", RunRule::Nelson5, {-2.5, -2.1}, -2.5, {-2.5, 2.5}},
        RuleCase{"WesternElectric3",
                 RunRule::WesternElectric3,
                 {1.5, 1.5, 0, 1.5, 1.5},
                 1.5,
                 {1.5, 0, 0, 1.5, 1.5}},
        RuleCase{
            "Nelson6", RunRule::Nelson6, {-1.5, -1.5, -1.5, -1.5}, -1.5, {-1.5, -1.5, -1.5, 1.5}},
        RuleCase{"WesternElectric4", RunRule::WesternElectric4, Repeated(8, 0.5), 0.5, {}},
        RuleCase{"Nelson2", RunRule::Nelson2, Repeated(9, -0.5), -0.5, {}},
        RuleCase{"Nelson3", RunRule::Nelson3, Rising(6), 0, {}},
        RuleCase{"Nelson4", RunRule::Nelson4, Alternating(14, -0.5, 0.5), -0.5, {}},
        RuleCase{"Nelson7", RunRule::Nelson7, Alternating(15, -0.5, 0.5), 0.9, {}},
        RuleCase{"Nelson8", RunRule::Nelson8, Alternating(8, -1.5, 1.5), -1.5, {}}),
    [](const auto& info) { return info.param.name; });

TEST(RunRules, NoSpreadBreaksNoZoneRule) {
    EXPECT_TRUE(
        FindRunRuleBreaks(Repeated(20, 1.0), 1.0, 0,
                          std::vector<RunRule>(std::begin(kAllRunRules), std::end(kAllRunRules)))
            .empty());
}

// Mean 10, sigma 1 within and 2 overall, tolerance 7 to 13: Cp = 1, Pp = 0.5; the normal
// tails beyond 1.5 overall sigmas each side, 66,807 ppm each; Cpk's interval for n = 40 is
// 1 ± 1.96 √(1/360 + 1/78).
TEST(Capability, IndicesTailsAndTheCpkInterval) {
    const size_t n = 40;
    std::optional<Capability> c = CapabilityOf(n, {7, 13}, 10, 1, 2);
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(*c->cp, 1);
    EXPECT_DOUBLE_EQ(*c->pp, 0.5);
    EXPECT_DOUBLE_EQ(c->cpk, 1);
    EXPECT_DOUBLE_EQ(c->ppk, 0.5);
    EXPECT_NEAR(c->cpkInterval.first, 0.75521, 1e-5);
    EXPECT_NEAR(c->cpkInterval.second, 1.24479, 1e-5);
    EXPECT_NEAR(c->expectedPpm, 2 * 66'807.2, 0.1);

    // Off centre by one sigma: Cpk 2/3 from the nearer limit, Cp unchanged.
    c = CapabilityOf(n, {7, 13}, 11, 1, 1);
    EXPECT_NEAR(c->cpk, 2.0 / 3, 1e-12);
    EXPECT_DOUBLE_EQ(*c->cp, 1);
    EXPECT_NEAR(c->expectedPpm, 22'750.1 + 31.7, 0.1);

    // The reject set point alone: Cpu stands for Cpk; no Cp.
    c = CapabilityOf(n, {std::nullopt, 13}, 10, 1, 1);
    EXPECT_FALSE(c->cp);
    EXPECT_FALSE(c->cpl);
    EXPECT_DOUBLE_EQ(*c->cpu, 1);
    EXPECT_DOUBLE_EQ(c->cpk, 1);
    EXPECT_NEAR(c->expectedPpm, 1'349.9, 0.1);

    EXPECT_FALSE(CapabilityOf(n, {13, 7}, 10, 1, 1)) << "limits out of order";
    EXPECT_FALSE(CapabilityOf(n, {13, 13}, 10, 1, 1)) << "no room between the limits";
    EXPECT_FALSE(CapabilityOf(kCapabilityMinimumTests - 1, {7, 13}, 10, 1, 1)) << "too few tests";
}

}  // namespace
