#include "analysis/chart_judgement.h"

namespace qm4250 {

ChartJudgement JudgeChart(const ProcessSeries& series, const std::optional<ControlLimits>& frozen,
                          const std::vector<RunRule>& rules) {
    ChartJudgement judgement;
    judgement.frozen = frozen.has_value();
    judgement.limits = frozen ? frozen : IndividualsLimits(series);
    const std::vector<double>& values = series.values;
    judgement.broken.assign(values.size(), false);
    if (!judgement.limits)
        return judgement;
    judgement.breaks = FindRunRuleBreaks(values, judgement.limits->mean,
                                         judgement.limits->sigmaMovingRange, rules);
    for (const RunRuleBreak& rule : judgement.breaks) {
        judgement.pointsBroken += judgement.broken[rule.index] ? 0 : 1;
        judgement.broken[rule.index] = true;
    }
    return judgement;
}

}  // namespace qm4250
