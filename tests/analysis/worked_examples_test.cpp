// The individuals chart and capability against worked examples published with their numbers, each
// matched to half a unit of the last digit printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "analysis/capability.h"
#include "analysis/control_chart.h"
#include "analysis/run_rules.h"

using namespace qm4250;

namespace {

double HalfUnitOfDecimal(int decimals) {
    return 0.5 * std::pow(10.0, -decimals);
}

// NIST/SEMATECH e-Handbook of Statistical Methods, "Individuals Control Charts", section 6.3.2.2
// (6.3.1.2 in the edition at https://www.itl.nist.gov/div898/handbook/pmc/section3/pmc312.htm):
// the flow rate of a new process's first 10 batches. The handbook prints x̄ = 50.81,
// MR̄ = 1.8778, UCL = 55.8041 and LCL = 45.8159, and finds both charts in control. Its limits
// divide by the table's d2 = 1.128, as ours do: the unrounded 1.1284 would give UCL = 55.8025.
TEST(WorkedExamples, NistFlowRateIndividualsChart) {
    const std::vector<double> flowRate{49.6, 47.6, 49.9, 51.3, 47.8, 51.2, 52.6, 52.4, 53.6, 52.1};
    std::optional<ControlLimits> limits = IndividualsLimits(flowRate);
    ASSERT_TRUE(limits);
    EXPECT_NEAR(limits->mean, 50.81, HalfUnitOfDecimal(2));
    EXPECT_NEAR(limits->averageMovingRange, 1.8778, HalfUnitOfDecimal(4));
    EXPECT_NEAR(limits->upper, 55.8041, HalfUnitOfDecimal(4));
    EXPECT_NEAR(limits->lower, 45.8159, HalfUnitOfDecimal(4));

    EXPECT_TRUE(FindRunRuleBreaks(flowRate, limits->mean, limits->sigmaMovingRange,
                                  {RunRule::WesternElectric1})
                    .empty());
    std::vector<double> ranges = MovingRanges(flowRate);
    ASSERT_EQ(ranges.size(), flowRate.size() - 1);
    EXPECT_LT(*std::max_element(ranges.begin(), ranges.end()), limits->movingRangeUpper);
}

// NIST/SEMATECH e-Handbook of Statistical Methods, "What is Process Capability?", section 6.1.6,
// https://www.itl.nist.gov/div898/handbook/pmc/section1/pmc16.htm: USL = 20, LSL = 8, a mean of
// 16 and a sigma of 2 give Cp = 1.0, Cpu = 0.6667, Cpl = 1.3333 and Cpk = 0.6667. The handbook
// gives no data, so these 30 tests are made with exactly that mean and sample standard deviation
// (deviations of ±2 thirteen times each, then +3, -1, -1, -1: 116 = 4 × 29 in squares). The
// handbook's one sigma stands for both ours, so Pp and Ppk come out as Cp and Cpk.
TEST(WorkedExamples, NistCapabilityOfAnOffCentreProcess) {
    std::vector<double> tests(13, 18.0);
    tests.insert(tests.end(), 13, 14.0);
    tests.insert(tests.end(), {19, 15, 15, 15});
    double mean = IndividualsLimits(tests)->mean;
    double sigma = *OverallSigma(tests);
    ASSERT_NEAR(mean, 16, 1e-12);
    ASSERT_NEAR(sigma, 2, 1e-12);

    std::optional<Capability> c = CapabilityOf(tests.size(), {8, 20}, mean, sigma, sigma);
    ASSERT_TRUE(c);
    EXPECT_NEAR(*c->cp, 1.0, HalfUnitOfDecimal(1));
    EXPECT_NEAR(*c->cpu, 0.6667, HalfUnitOfDecimal(4));
    EXPECT_NEAR(*c->cpl, 1.3333, HalfUnitOfDecimal(4));
    EXPECT_NEAR(c->cpk, 0.6667, HalfUnitOfDecimal(4));
    EXPECT_NEAR(*c->pp, 1.0, HalfUnitOfDecimal(1));
    EXPECT_NEAR(*c->ppu, 0.6667, HalfUnitOfDecimal(4));
    EXPECT_NEAR(*c->ppl, 1.3333, HalfUnitOfDecimal(4));
    EXPECT_NEAR(c->ppk, 0.6667, HalfUnitOfDecimal(4));
}

// The same page's table of the share of a centred normal process outside its tolerance, by Cp.
// Its row "1.33: 64 ppm" is left out: that is neither the tails beyond 3.99 sigma (66.1 ppm) nor
// those beyond 4 sigma (63.3 ppm), so no reading of 1.33 prints as 64.
struct RejectRow {
    const char* name;
    double cp;
    double ppm;
    double halfUnitPpm;
};

class NistRejectRates : public testing::TestWithParam<RejectRow> {};

TEST_P(NistRejectRates, ExpectedOutsideACentredProcess) {
    const RejectRow& row = GetParam();
    std::vector<double> tests(kCapabilityMinimumTests, 0.0);
    std::optional<Capability> c = CapabilityOf(tests.size(), {-3 * row.cp, 3 * row.cp}, 0, 1, 1);
    ASSERT_TRUE(c);
    EXPECT_NEAR(*c->pp, row.cp, 1e-12);
    EXPECT_NEAR(c->expectedPpm, row.ppm, row.halfUnitPpm);
}

INSTANTIATE_TEST_SUITE_P(CpTable, NistRejectRates,
                         testing::Values(RejectRow{"Cp100_0_27percent", 1.00, 2700, 50},
                                         RejectRow{"Cp166_0_6ppm", 1.66, 0.6, 0.05},
                                         RejectRow{"Cp200_2ppb", 2.00, 0.002, 0.0005}),
                         [](const auto& info) { return info.param.name; });

// Quality Digest, May 2000, the "Last Word" column
// (https://www.qualitydigest.com/may00/html/lastword.html): a Cpk of 1.15 from n = 45 tests is,
// with 95 % confidence, between 0.89 and 1.41.
TEST(WorkedExamples, QualityDigestCpkInterval) {
    std::vector<double> tests(45, 0.0);
    std::optional<Capability> c = CapabilityOf(tests.size(), {std::nullopt, 3 * 1.15}, 0, 1, 1);
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->cpk, 1.15, 1e-12);
    EXPECT_NEAR(c->cpkInterval.first, 0.89, HalfUnitOfDecimal(2));
    EXPECT_NEAR(c->cpkInterval.second, 1.41, HalfUnitOfDecimal(2));
}

}  // namespace
