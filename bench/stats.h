#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The q-th quantile (0..1) of the values, nearest rank; 0 for none.
inline double Quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::size_t rank = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank),
                     values.end());
    return values[rank];
}

// The median of values[first, first + count), clipped to the vector.
inline double MedianOfRange(const std::vector<double>& values, std::size_t first,
                            std::size_t count) {
    first = std::min(first, values.size());
    std::size_t last = std::min(values.size(), first + count);
    return Quantile(std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(first),
                                        values.begin() + static_cast<std::ptrdiff_t>(last)),
                    0.5);
}
