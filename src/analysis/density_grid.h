#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/axis_range.h"

namespace qm4250 {

// How many points fall in each cell of a grid laid over a view: what a large selection shows in
// place of its points within the limits, darker where more tests lie, so that the spread reads as
// it is. (The lowest and highest point of each pixel column, drawn alone, made normal data look
// like two bands.)
struct DensityGrid {
    size_t columns = 0;
    size_t rows = 0;
    AxisRange x, y;
    std::vector<uint32_t> counts;  // column by column, rows from the bottom

    uint32_t at(size_t column, size_t row) const { return counts[column * rows + row]; }
};

// The points that `keep` marks, counted in `columns` x `rows` equal cells over the view; a point
// outside the view is not counted.
DensityGrid CountDensity(const std::vector<double>& xs, const std::vector<double>& ys,
                         const std::vector<bool>& keep, size_t columns, size_t rows, AxisRange x,
                         AxisRange y);

}  // namespace qm4250
