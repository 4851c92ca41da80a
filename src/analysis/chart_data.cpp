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

Histogram MakeHistogram(const std::vector<double>& values, size_t bins) {
    Histogram histogram;
    if (values.empty() || bins == 0)
        return histogram;
    auto [min, max] = std::minmax_element(values.begin(), values.end());
    histogram.start = *min;
    if (*max == *min) {
        histogram.width = 1;
        histogram.counts = {values.size()};
        return histogram;
    }
    histogram.width = (*max - *min) / static_cast<double>(bins);
    histogram.counts.assign(bins, 0);
    for (double value : values) {
        size_t bin = static_cast<size_t>((value - *min) / histogram.width);
        ++histogram.counts[std::min(bin, bins - 1)];
    }
    return histogram;
}

double NormalDensity(double x, double mean, double sigma) {
    constexpr double kInverseSqrtTwoPi = 0.3989422804014327;
    double z = (x - mean) / sigma;
    return kInverseSqrtTwoPi / sigma * std::exp(-0.5 * z * z);
}

}  // namespace qm4250
