#include "analysis/part_statistics.h"

#include <algorithm>
#include <map>

#include "analysis/control_chart.h"

namespace qm4250 {

namespace {

PartStatistics Of(std::string_view pn, const std::vector<double>& leaks, size_t rejects) {
    PartStatistics statistics;
    statistics.pn = std::string(pn);
    statistics.n = leaks.size();
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
    return statistics;
}

}  // namespace

std::vector<PartStatistics> StatisticsByPart(const std::vector<LeakSample>& samples) {
    std::map<std::string_view, std::pair<std::vector<double>, size_t>> parts;
    for (const LeakSample& sample : samples) {
        auto& [leaks, rejects] = parts[sample.pn];
        leaks.push_back(sample.leak);
        rejects += sample.reject ? 1 : 0;
    }
    std::vector<PartStatistics> statistics;
    for (const auto& [pn, part] : parts)
        statistics.push_back(Of(pn, part.first, part.second));
    return statistics;
}

}  // namespace qm4250
