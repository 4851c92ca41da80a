#include "analysis/chart_judgement.h"

#include <algorithm>

namespace qm4250 {

ChartJudgement JudgeChart(const std::vector<double>& values, const std::vector<bool>& inLimits,
                          const std::optional<ControlLimits>& frozen,
                          const std::vector<RunRule>& rules) {
    ChartJudgement judgement;
    judgement.frozen = frozen.has_value();
    if (frozen) {
        judgement.limits = frozen;
    } else if (std::find(inLimits.begin(), inLimits.end(), false) == inLimits.end()) {
        judgement.limits = IndividualsLimits(values);
    } else {
        std::vector<double> kept;
        kept.reserve(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            if (i >= inLimits.size() || inLimits[i])
                kept.push_back(values[i]);
        judgement.limits = IndividualsLimits(kept);
    }
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
