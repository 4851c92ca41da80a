#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/control_chart.h"
#include "analysis/run_rules.h"

namespace qm4250 {

// Rule 1 and eight in a row on one side: what the chart judged by before rules could be chosen.
inline const std::vector<RunRule> kDefaultRunRules{RunRule::WesternElectric1,
                                                   RunRule::WesternElectric4};

// How an individuals chart's points stand: the limits they are judged against, and the breaks of
// the run rules switched on, reckoned in the sigma of those limits.
struct ChartJudgement {
    std::optional<ControlLimits> limits;
    bool frozen = false;  // the limits are a baseline's, not the values' own
    std::vector<RunRuleBreak> breaks;
    // One flag per value: it breaks at least one rule.
    std::vector<bool> broken;
    size_t pointsBroken = 0;
};

// Values in time order. The limits come from the values `inLimits` marks (rejects and excluded
// tests left out, their neighbours then taken as neighbours), or are the frozen ones where given;
// every value is judged against them.
ChartJudgement JudgeChart(const std::vector<double>& values, const std::vector<bool>& inLimits,
                          const std::optional<ControlLimits>& frozen,
                          const std::vector<RunRule>& rules);

}  // namespace qm4250
