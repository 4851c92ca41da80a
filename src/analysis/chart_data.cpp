#include "analysis/chart_data.h"

#include <algorithm>
#include <cmath>

namespace qm4250 {

std::vector<size_t> DecimateMinMax(const std::vector<ChartPoint>& points, size_t columns) {
    std::vector<size_t> kept;
    if (columns == 0 || points.size() <= 2 * columns) {
        for (size_t i = 0; i < points.size(); ++i)
            kept.push_back(i);
        return kept;
    }
    auto [first, last] =
        std::minmax_element(points.begin(), points.end(),
                            [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    double span = last->x - first->x;
    std::vector<size_t> lowest(columns, points.size()), highest(columns, points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        size_t column = span > 0 ? static_cast<size_t>((points[i].x - first->x) / span *
                                                       static_cast<double>(columns))
                                 : 0;
        column = std::min(column, columns - 1);
        if (lowest[column] == points.size() || points[i].y < points[lowest[column]].y)
            lowest[column] = i;
        if (highest[column] == points.size() || points[i].y > points[highest[column]].y)
            highest[column] = i;
    }
    for (size_t column = 0; column < columns; ++column) {
        if (lowest[column] != points.size())
            kept.push_back(lowest[column]);
        if (highest[column] != points.size() && highest[column] != lowest[column])
            kept.push_back(highest[column]);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

double MeasurementResolution(const std::vector<double>& sorted) {
    double step = 0;
    for (size_t i = 1; i < sorted.size(); ++i) {
        double difference = sorted[i] - sorted[i - 1];
        // Two readings of one value that differ only in their last binary digits are one value.
        double noise = 1e-9 * std::max(std::fabs(sorted[i]), std::fabs(sorted[i - 1]));
        if (difference > noise && (step == 0 || difference < step))
            step = difference;
    }
    if (step == 0)
        return 0;
    double digit = std::pow(10.0, std::floor(std::log10(step)) - 2);
    return std::round(step / digit) * digit;
}

size_t HistogramBins(std::vector<double> values) {
    if (values.size() < 2)
        return 1;
    // Quartiles by selection, not a sort: a histogram of a million tests is drawn at every redraw.
    auto quantile = [&](double q) {
        double at = q * static_cast<double>(values.size() - 1);
        auto below = values.begin() + static_cast<std::ptrdiff_t>(at);
        std::nth_element(values.begin(), below, values.end());
        double low = *below;
        double high = below + 1 == values.end() ? low : *std::min_element(below + 1, values.end());
        return low + (at - std::floor(at)) * (high - low);
    };
    double n = static_cast<double>(values.size());
    auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    double span = *highest - *lowest;
    double width = 2 * (quantile(0.75) - quantile(0.25)) / std::cbrt(n);
    double sturges = std::ceil(std::log2(n)) + 1;
    double bins = std::max(width > 0 ? std::ceil(span / width) : 0, sturges);
    return static_cast<size_t>(std::clamp(bins, 1.0, static_cast<double>(kMostHistogramBins)));
}

Histogram MakeHistogram(const std::vector<double>& values, size_t maxBins) {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return MakeHistogram(values, MeasurementResolution(sorted), maxBins);
}

Histogram MakeHistogram(const std::vector<double>& values, double resolution, size_t maxBins) {
    Histogram histogram;
    if (values.empty() || maxBins == 0)
        return histogram;
    auto [low, high] = std::minmax_element(values.begin(), values.end());
    double lowest = *low, highest = *high;
    if (resolution <= 0 || lowest == highest) {
        histogram.width = lowest != 0 ? std::fabs(lowest) / 10 : 1;
        histogram.start = lowest - histogram.width / 2;
        histogram.counts = {values.size()};
        return histogram;
    }
    double steps = std::round((highest - lowest) / resolution) + 1;
    double stepsPerBin = std::ceil(steps / static_cast<double>(maxBins));
    histogram.width = stepsPerBin * resolution;
    histogram.start = lowest - resolution / 2;
    size_t bins = static_cast<size_t>(std::ceil(steps / stepsPerBin));
    histogram.counts.assign(bins, 0);
    for (double value : values) {
        auto bin = static_cast<size_t>(std::max(0.0, (value - histogram.start) / histogram.width));
        ++histogram.counts[std::min(bin, bins - 1)];
    }
    return histogram;
}

}  // namespace qm4250
