// What the archive tells the operator of an upload's new tests, as the record counter words it.
#include "analysis/new_tests_verdict.h"

#include "analysis/chart_judgement.h"

#include <gtest/gtest.h>

#include "session/record_counter.h"

using namespace qm4250;

namespace {

// A test of the series: a leak or a reading, passed or rejected, new or archived before.
struct Reading {
    double leak = 0;
    LeakReading reading = LeakReading::Number;
    bool reject = false;
    bool isNew = false;
};

constexpr Reading kNewPass(double leak) {
    return {leak, LeakReading::Number, false, true};
}

struct VerdictCase {
    const char* name;
    std::vector<Reading> newTests;
    std::optional<ControlLimits> frozen;
    ToleranceLimits tolerance;
    const char* text;
    bool history = true;  // 30 archived tests around 0.003 come first
};

// The text of the verdict on the cases's tests, read as the archive window keeps them.
std::string VerdictOf(const VerdictCase& given) {
    std::vector<TestReading> tests;
    std::vector<bool> isNew;
    auto add = [&](const Reading& test) {
        std::optional<double> leak;
        if (test.reading == LeakReading::Number)
            leak = test.leak;
        tests.push_back({leak, test.reading, test.reject, leak && !test.reject});
        isNew.push_back(test.isNew);
    };
    const double kProcess[] = {0.0029, 0.0031, 0.0030, 0.0032, 0.0028};
    for (int i = 0; given.history && i < 30; ++i)
        add({kProcess[i % 5]});
    for (const Reading& test : given.newTests)
        add(test);
    return VerdictText(
        {JudgeNewTests("A12", tests, isNew, given.frozen, given.tolerance, kDefaultRunRules)});
}

class NewTestsVerdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(NewTestsVerdict, CountsThePassedNewTestsBeyondTheLimitsThatJudgeThePart) {
    EXPECT_EQ(VerdictOf(GetParam()), GetParam().text);
}

const ControlLimits kFrozenLow{0.002, 0.0001, 0.0017, 0.0023, 0.0001, 0.0003};
const Reading kOver{0, LeakReading::Over, false, true};
const Reading kUnder{0, LeakReading::Under, false, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, NewTestsVerdict,
    testing::Values(
        VerdictCase{"NothingBeyond", {kNewPass(0.0030), kNewPass(0.0031)}, {}, {}, ""},
        VerdictCase{"BeyondUcl", {kNewPass(0.0030), kNewPass(0.0060)}, {}, {}, "A12: 1 beyond UCL"},
        VerdictCase{
            "ARejectIsTheInstrumentsWord", {{0.0060, LeakReading::Number, true, true}}, {}, {}, ""},
        VerdictCase{"AnArchivedTestIsNotNew", {{0.0060}, kNewPass(0.0030)}, {}, {}, ""},
        VerdictCase{"OverAndAGrossLeakBeyondUclAndUsl",
                    {kNewPass(7.5), kOver},
                    {},
                    {std::nullopt, 0.005},
                    "A12: 2 beyond UCL, 2 beyond USL"},
        VerdictCase{"UnderBeyondLclAndLsl",
                    {kUnder},
                    {},
                    {0.001, 0.005},
                    "A12: 1 beyond LCL, 1 beyond LSL"},
        // Within the process's own limits, but not within the frozen ones, and eight in a row
        // above their centre line: only the new test is said.
        VerdictCase{"FrozenLimitsJudge",
                    {kNewPass(0.0030)},
                    kFrozenLow,
                    {},
                    "A12: 1 beyond UCL, 1 breaking WE 4"},
        // Too few tests for limits: the tolerance still judges.
        VerdictCase{"NoLimitsButATolerance",
                    {kNewPass(0.009)},
                    {},
                    {std::nullopt, 0.005},
                    "A12: 1 beyond USL",
                    false},
        VerdictCase{"NoLimitsAtAll", {kNewPass(0.009)}, {}, {}, "", false}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return info.param.name; });

TEST(NewTestsVerdict, PartsWithSomethingToSayAreJoinedInTheirOrder) {
    PartVerdict a12;
    a12.pn = "A12";
    a12.beyondUcl = 2;
    PartVerdict quiet;
    quiet.pn = "Q";
    PartVerdict b7;
    b7.pn = "B7";
    b7.rulesBroken = {{RunRule::WesternElectric2, 1}, {RunRule::Nelson3, 4}};
    EXPECT_EQ(VerdictText({a12, quiet, b7}),
              "A12: 2 beyond UCL; B7: 1 breaking WE 2, 4 breaking Nelson 3");
    EXPECT_EQ(VerdictText({}), "");
}

}  // namespace
