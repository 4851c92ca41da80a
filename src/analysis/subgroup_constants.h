#pragma once

#include <cstddef>

namespace qm4250 {

// The constants of Shewhart charts for subgroups of n tests, computed from the normal
// distribution rather than copied from a table: d2 and d3, the mean and the standard deviation
// of the range of n normal values in sigmas; c4, the mean of the sample standard deviation in
// sigmas; and the chart factors made of them (A2, D3, D4 for X-bar and R; A3, B3, B4 for X-bar
// and S).
struct SubgroupConstants {
    double d2 = 0;
    double d3 = 0;
    double c4 = 0;
    double a2 = 0;
    double lowerRange = 0;  // D3
    double upperRange = 0;  // D4
    double a3 = 0;
    double lowerSigma = 0;  // B3
    double upperSigma = 0;  // B4
};

// To 25, as the standard tables go: the numeric integration holds every printed digit there.
inline constexpr int kSmallestSubgroup = 2;
inline constexpr int kLargestSubgroup = 25;

// n from kSmallestSubgroup to kLargestSubgroup; each size computed once, on its first use.
const SubgroupConstants& ConstantsForSubgroup(int n);

// c4 for subgroups of any size from 2, which an S chart of subgroups by time needs past the table,
// and sqrt(1 - c4²), the standard deviation of the sample standard deviation in sigmas.
struct DeviationBias {
    double c4 = 0;
    double spread = 0;
};

DeviationBias DeviationBiasFor(size_t n);

}  // namespace qm4250
