#include "analysis/new_tests_verdict.h"

#include <map>

#include "analysis/chart_judgement.h"

namespace qm4250 {

namespace {

bool Above(const TestReading& test, const std::optional<double>& limit) {
    if (!limit)
        return false;
    return test.leak ? *test.leak > *limit : test.reading == LeakReading::Over;
}

bool Below(const TestReading& test, const std::optional<double>& limit) {
    if (!limit)
        return false;
    return test.leak ? *test.leak < *limit : test.reading == LeakReading::Under;
}

bool SaysBeyondLimits(RunRule rule) {
    return rule == RunRule::WesternElectric1 || rule == RunRule::Nelson1;
}

}  // namespace

PartVerdict JudgeNewTests(std::string pn, const std::vector<TestReading>& tests,
                          const std::vector<bool>& isNew,
                          const std::optional<ControlLimits>& frozen,
                          const ToleranceLimits& tolerance, const std::vector<RunRule>& rules) {
    PartVerdict verdict;
    verdict.pn = std::move(pn);
    ChartJudgement judgement = JudgeChart(SeriesOfReadings(tests), frozen, rules);
    std::optional<double> ucl, lcl;
    if (judgement.limits) {
        ucl = judgement.limits->upper;
        lcl = judgement.limits->lower;
    }
    // The series holds the numeric leaks only: which test each of its values is.
    std::vector<size_t> testOfValue;
    for (size_t i = 0; i < tests.size(); ++i) {
        if (tests[i].leak)
            testOfValue.push_back(i);
    }
    auto judged = [&](size_t i) { return i < isNew.size() && isNew[i] && !tests[i].reject; };

    for (size_t i = 0; i < tests.size(); ++i) {
        if (!judged(i))
            continue;
        verdict.beyondUcl += Above(tests[i], ucl);
        verdict.beyondLcl += Below(tests[i], lcl);
        verdict.beyondUsl += Above(tests[i], tolerance.upper);
        verdict.beyondLsl += Below(tests[i], tolerance.lower);
    }
    std::map<RunRule, size_t> counts;
    for (const RunRuleBreak& broken : judgement.breaks) {
        if (!SaysBeyondLimits(broken.rule) && judged(testOfValue[broken.index]))
            ++counts[broken.rule];
    }
    for (RunRule rule : rules) {
        if (auto found = counts.find(rule); found != counts.end())
            verdict.rulesBroken.emplace_back(rule, found->second);
    }
    return verdict;
}

}  // namespace qm4250
