#include "analysis/part_statistics.h"

#include <algorithm>

namespace qm4250 {

PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<double>& leaks,
                                size_t rejects, const std::optional<ToleranceLimits>& tolerance) {
    PartStatistics statistics;
    statistics.pn = std::string(pn);
    statistics.n = leaks.size();
    statistics.tolerance = tolerance;
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
    if (std::optional<ControlLimits> limits = IndividualsLimits(leaks)) {
        statistics.sigmaMovingRange = limits->sigmaMovingRange;
        statistics.limits = limits;
        statistics.ruleBreaks = FindRuleBreaks(leaks, *limits).count();
    }
    if (tolerance && statistics.sigmaMovingRange && statistics.sigmaOverall)
        statistics.capability =
            CapabilityOf(leaks, *tolerance, statistics.mean, *statistics.sigmaMovingRange,
                         *statistics.sigmaOverall);
    return statistics;
}

}  // namespace qm4250
