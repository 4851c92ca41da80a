#pragma once

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

inline constexpr int kSmallestSubgroup = 2;
inline constexpr int kLargestSubgroup = 10;

// n from kSmallestSubgroup to kLargestSubgroup; computed once, on first use.
const SubgroupConstants& ConstantsForSubgroup(int n);

}  // namespace qm4250
