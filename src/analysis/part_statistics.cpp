#include "analysis/part_statistics.h"

#include <algorithm>

namespace qm4250 {

PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<double>& leaks,
                                size_t rejects, const PartJudging& judging) {
    PartStatistics statistics;
    statistics.pn = std::string(pn);
    statistics.n = leaks.size();
    statistics.tolerance = judging.tolerance;
    if (leaks.empty())
        return statistics;
    statistics.rejectRate = static_cast<double>(rejects) / static_cast<double>(leaks.size());
    auto [min, max] = std::minmax_element(leaks.begin(), leaks.end());
    statistics.min = *min;
    statistics.max = *max;
    double sum = 0;
    for (double leak : leaks)
        sum += leak;
    statistics.mean = sum / static_cast<double>(leaks.size());
    statistics.sigmaOverall = OverallSigma(leaks);
    if (statistics.sigmaOverall)
        statistics.suggestedSetPoint = statistics.mean + 3 * *statistics.sigmaOverall;
    ChartJudgement judgement = JudgeChart(leaks, judging.inLimits, judging.frozen, judging.rules);
    if (judgement.limits) {
        statistics.sigmaMovingRange = judgement.limits->sigmaMovingRange;
        statistics.limits = judgement.limits;
        statistics.ruleBreaks = judgement.pointsBroken;
    }
    if (judging.tolerance && statistics.sigmaMovingRange && statistics.sigmaOverall)
        statistics.capability =
            CapabilityOf(leaks, *judging.tolerance, statistics.mean, *statistics.sigmaMovingRange,
                         *statistics.sigmaOverall);
    return statistics;
}

}  // namespace qm4250
