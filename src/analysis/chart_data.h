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

// The instrument's step between readings: the smallest difference between two distinct values,
// to three significant digits (so that 0.00289999… and 0.0029 are one step apart of 0.0001). Zero
// when there are fewer than two distinct values. `sorted` is in ascending order.
double MeasurementResolution(const std::vector<double>& sorted);

// How many bins suit a histogram of these values, in any order: their span over Freedman and
// Diaconis's width, 2 IQR / ∛n, but no fewer than Sturges's ⌈log₂ n⌉ + 1, which suits a few
// hundred tests better; from 1 to kMostHistogramBins.
inline constexpr size_t kMostHistogramBins = 100;
size_t HistogramBins(std::vector<double> values);

// At most `maxBins` equal bins, each the same whole number of resolution steps wide, with their
// edges half-way between two steps: no bin is emptied or halved by where its edges fall. One
// value, or all equal: one bin centred on it.
Histogram MakeHistogram(const std::vector<double>& values, size_t maxBins);
// The same, for values whose resolution is known already.
Histogram MakeHistogram(const std::vector<double>& values, double resolution, size_t maxBins);

}  // namespace qm4250
