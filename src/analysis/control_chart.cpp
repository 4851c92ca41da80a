#include "analysis/control_chart.h"

#include <cmath>
#include <numeric>

namespace qm4250 {

namespace {

// The expected range of two normal values, in sigmas, and the moving-range chart's factor.
constexpr double kD2 = 1.128;
constexpr double kD4 = 3.267;

double Mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

}  // namespace

std::vector<double> MovingRanges(const std::vector<double>& values) {
    std::vector<double> ranges;
    for (size_t i = 1; i < values.size(); ++i)
        ranges.push_back(std::fabs(values[i] - values[i - 1]));
    return ranges;
}

std::optional<ControlLimits> IndividualsLimits(const ProcessSeries& series) {
    std::vector<size_t> formed = FormedRanges(series);
    if (formed.empty())
        return std::nullopt;
    double ranges = 0;
    for (size_t i : formed)
        ranges += std::fabs(series.values[i] - series.values[i - 1]);
    ControlLimits limits;
    limits.mean = Mean(KeptValues(series));
    limits.averageMovingRange = ranges / static_cast<double>(formed.size());
    limits.movingRangeUpper = kD4 * limits.averageMovingRange;
    limits.sigmaMovingRange = limits.averageMovingRange / kD2;
    limits.lower = limits.mean - 3 * limits.sigmaMovingRange;
    limits.upper = limits.mean + 3 * limits.sigmaMovingRange;
    return limits;
}

std::optional<ControlLimits> IndividualsLimits(const std::vector<double>& values) {
    return IndividualsLimits(WholeSeries(values));
}

std::optional<double> OverallSigma(const std::vector<double>& values) {
    if (values.size() < 2)
        return std::nullopt;
    double mean = Mean(values);
    double squares = 0;
    for (double value : values)
        squares += (value - mean) * (value - mean);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

}  // namespace qm4250
