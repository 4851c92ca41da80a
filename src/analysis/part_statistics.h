#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/capability.h"
#include "analysis/control_chart.h"

namespace qm4250 {

struct PartStatistics {
    std::string pn;
    size_t n = 0;
    double rejectRate = 0;  // rejects / n
    double mean = 0;
    std::optional<double> sigmaOverall;      // sample standard deviation
    std::optional<double> sigmaMovingRange;  // average moving range / 1.128
    std::optional<ControlLimits> limits;     // of its individuals chart; none below two tests
    double min = 0;
    double max = 0;
    // mean + 3 sigma overall: the usual suggestion for a reject set point from good parts.
    std::optional<double> suggestedSetPoint;
    size_t ruleBreaks = 0;  // points beyond 3 sigma or in a run of 8 on one side
    std::optional<ToleranceLimits> tolerance;
    // Against the tolerance, within sigma from the moving range; none without a
    // tolerance, below kCapabilityMinimumTests tests or without spread.
    std::optional<Capability> capability;
};

// The statistics of one part number's leaks, in time order, `rejects` of them rejects; n = 0 when
// there are none.
PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<double>& leaks,
                                size_t rejects,
                                const std::optional<ToleranceLimits>& tolerance = {});

}  // namespace qm4250
