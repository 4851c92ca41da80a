#pragma once

#include <cstddef>
#include <vector>

namespace qm4250 {

struct ChartPoint {
    double x;  // time
    double y;  // leak
};

// The points worth drawing when there are more than pixel columns: in each of `columns` equal
// slices of the x range, the lowest and the highest point (each once), so that what is drawn
// always shows every outlier. Indices into points, in order; all of them when there are few.
std::vector<size_t> DecimateMinMax(const std::vector<ChartPoint>& points, size_t columns);

struct Histogram {
    double start = 0;  // left edge of the first bin
    double width = 0;  // of every bin
    std::vector<size_t> counts;
};

// Equal bins from the smallest value to the largest; one bin holds every value when they are
// all the same.
Histogram MakeHistogram(const std::vector<double>& values, size_t bins);

// The normal density at x, for the curve drawn over a histogram.
double NormalDensity(double x, double mean, double sigma);

}  // namespace qm4250
