#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/process_series.h"

namespace qm4250 {

// An individuals chart of leak values in time order: the centre line, and limits three sigma
// either side, sigma estimated from the average moving range (the spread between neighbours, so
// that a drift does not widen the limits meant to show it).
struct ControlLimits {
    double mean = 0;
    double sigmaMovingRange = 0;  // average moving range / d2, d2 = 1.128 for ranges of two
    double lower = 0;             // mean - 3 sigma
    double upper = 0;             // mean + 3 sigma
    // The moving-range chart's: its centre line, and its upper limit D4 = 3.267 times that (its
    // lower limit is zero for ranges of two).
    double averageMovingRange = 0;
    double movingRangeUpper = 0;
};

// The moving ranges of values in time order: |x[i] - x[i-1]|, one fewer than the values.
std::vector<double> MovingRanges(const std::vector<double>& values);

// The limits of the process: the mean of the kept values, sigma from the ranges formed between
// them (FormedRanges). None without a formed range.
std::optional<ControlLimits> IndividualsLimits(const ProcessSeries& series);
// Of a plain run of readings; none for fewer than two values.
std::optional<ControlLimits> IndividualsLimits(const std::vector<double>& values);

// The sample standard deviation (n - 1); none for fewer than two values.
std::optional<double> OverallSigma(const std::vector<double>& values);

}  // namespace qm4250
