#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/capability.h"
#include "analysis/chart_judgement.h"
#include "analysis/control_chart.h"
#include "analysis/process_series.h"

namespace qm4250 {

// A part number's statistics, each of the population that answers its question. n, the reject
// rate, the minimum and maximum, the rule breaks and the share outside the tolerance are of every
// test (a leak that reads "OVER" counts in n too); the mean, both sigmas, the suggested set point
// and the capability indices are of the process, the tests kept in the limits. The limits printed
// are those that judge: the process's own, or the frozen ones.
struct PartStatistics {
    std::string pn;
    std::string unit;  // of the leak, as the archive keeps it with the tolerance; may be empty
    size_t n = 0;
    double rejectRate = 0;                   // rejects / n
    size_t kept = 0;                         // the process: the tests that make its limits
    double mean = 0;                         // of the process; 0 when nothing is kept
    std::optional<double> sigmaOverall;      // of the process: its sample standard deviation
    std::optional<double> sigmaMovingRange;  // of the process: its own average moving range / 1.128
    std::optional<ControlLimits> limits;     // that judge the chart; none below two kept tests
    std::optional<double> min, max;          // of every numeric leak
    // The process's mean + 3 sigma overall: the usual suggestion for a reject set point.
    std::optional<double> suggestedSetPoint;
    size_t ruleBreaks = 0;  // tests breaking at least one rule switched on
    std::optional<ToleranceLimits> tolerance;
    // Tests outside the tolerance per million tests: a number beyond a limit, "OVER" where there
    // is an upper limit, "UNDER" where there is a lower one. None without a tolerance.
    std::optional<double> observedPpm;
    // The process against the tolerance, within sigma its own even where frozen limits judge;
    // none without a tolerance, below kCapabilityMinimumTests kept tests or without spread.
    std::optional<Capability> capability;
};

// How a part number's tests are judged besides which are kept: the frozen limits that judge
// instead of the process's own where there are any, the run rules switched on, its tolerance.
struct PartJudging {
    std::optional<ControlLimits> frozen;
    std::vector<RunRule> rules = kDefaultRunRules;
    std::optional<ToleranceLimits> tolerance;
};

// The statistics of one part number's tests, in time order.
PartStatistics StatisticsOfPart(std::string_view pn, const std::vector<TestReading>& tests,
                                const PartJudging& judging = {});

// Tests outside the tolerance, per million of them.
double ObservedPpm(const std::vector<TestReading>& tests, const ToleranceLimits& tolerance);

}  // namespace qm4250
