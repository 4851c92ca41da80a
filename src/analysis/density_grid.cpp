#include "analysis/density_grid.h"

#include <cmath>

namespace qm4250 {

namespace {

// The cell of `value` among `cells` equal cells over the range; `cells` when outside it.
size_t CellOf(double value, const AxisRange& range, size_t cells) {
    double span = range.upper - range.lower;
    if (!(span > 0) || value < range.lower || value > range.upper)
        return cells;
    auto cell = static_cast<size_t>((value - range.lower) / span * static_cast<double>(cells));
    return cell < cells ? cell : cells - 1;
}

}  // namespace

DensityGrid CountDensity(const std::vector<double>& xs, const std::vector<double>& ys,
                         const std::vector<bool>& keep, size_t columns, size_t rows, AxisRange x,
                         AxisRange y) {
    DensityGrid grid{columns, rows, x, y, std::vector<uint32_t>(columns * rows, 0)};
    for (size_t i = 0; i < xs.size() && i < ys.size() && i < keep.size(); ++i) {
        if (!keep[i])
            continue;
        size_t column = CellOf(xs[i], x, columns);
        size_t row = CellOf(ys[i], y, rows);
        if (column < columns && row < rows)
            ++grid.counts[column * rows + row];
    }
    return grid;
}

}  // namespace qm4250
