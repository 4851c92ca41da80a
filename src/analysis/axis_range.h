#pragma once

#include <span>

namespace qm4250 {

struct AxisRange {
    double lower = 0;
    double upper = 0;
};

inline constexpr double kAxisMargin = 0.05;  // of the span, on each side

// From the lowest to the highest of the values and the marks (control limits, the centre line),
// widened on each side by `margin` of that span, so that no point sits on an edge and no limit
// falls outside the view. A span of nothing (one value, all equal) is widened by `margin` of the
// value itself, or by `margin` when that is zero. None of either: 0 to 1.
AxisRange PaddedRange(std::span<const double> values, std::span<const double> marks = {},
                      double margin = kAxisMargin);

}  // namespace qm4250
