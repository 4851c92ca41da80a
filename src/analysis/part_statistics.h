#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/capability.h"
#include "analysis/chart_judgement.h"
#include "analysis/control_chart.h"

namespace qm4250 {

struct PartStatistics {
    std::string pn;
    size_t n = 0;
    double rejectRate = 0;  // rejects / n
    double mean = 0;
    std::optional<double> sigmaOverall;      // sample standard deviation
    std::optional<double> sigmaMovingRange;  // of the limits: average moving range / 1.128
    std::optional<ControlLimits> limits;     // of its individuals chart; none below two tests
    double min = 0;
    double max = 0;
    // mean + 3 sigma overall: the usual suggestion for a reject set point from good parts.
    std::optional<double> suggestedSetPoint;
    size_t ruleBreaks = 0;  // points breaking a rule switched on
    std::optional<ToleranceLimits> tolerance;
    // Against the tolerance, within sigma from the moving range; none without a
    // tolerance, below kCapabilityMinimumTests tests or without spread.
    std::optional<Capability> capability;
};

// How a part number's tests are judged: which of them make the limits (empty: all), the frozen
// limits that judge instead where there are any, the run rules switched on, and its tolerance.
struct PartJudging {
    std::vector<bool> inLimits;
    std::optional<ControlLimits> frozen;
    std::vector<RunRule> rules = kDefaultRunRules;
    std::optional<ToleranceLimits> tolerance;
};

// The statistics of one part number's leaks, in time order, `rejects` of them rejects; n = 0 when
// there are none. The mean, the overall sigma and the share outside the tolerance are of every
// test, since rejects are parts made too; the within sigma is that of the limits.
PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<double>& leaks,
                                size_t rejects, const PartJudging& judging = {});

}  // namespace qm4250
