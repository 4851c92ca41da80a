#include "analysis/axis_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qm4250 {

AxisRange PaddedRange(std::span<const double> values, std::span<const double> marks,
                      double margin) {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (std::span<const double> set : {values, marks}) {
        for (double value : set) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    }
    if (lowest > highest)
        return {0, 1};
    double span = highest - lowest;
    double pad = span > 0 ? span * margin : (lowest != 0 ? std::fabs(lowest) * margin : margin);
    return {lowest - pad, highest + pad};
}

}  // namespace qm4250
