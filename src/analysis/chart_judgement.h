#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/control_chart.h"
#include "analysis/process_series.h"
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

// The limits are the process's own (IndividualsLimits), or the frozen ones where given; every
// value, kept or not, is judged against them.
ChartJudgement JudgeChart(const ProcessSeries& series, const std::optional<ControlLimits>& frozen,
                          const std::vector<RunRule>& rules);

}  // namespace qm4250
