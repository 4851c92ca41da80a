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
    // One pass, nothing copied: a chart of a million tests is judged at every redraw.
    double kept = 0, sum = 0, ranges = 0, rangeSum = 0;
    for (size_t i = 0; i < series.size(); ++i) {
        if (!series.kept[i])
            continue;
        ++kept;
        sum += series.values[i];
        if (i > 0 && series.kept[i - 1] && series.adjacent[i]) {
            ++ranges;
            rangeSum += std::fabs(series.values[i] - series.values[i - 1]);
        }
    }
    if (ranges == 0)
        return std::nullopt;
    ControlLimits limits;
    limits.mean = sum / kept;
    limits.averageMovingRange = rangeSum / ranges;
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
