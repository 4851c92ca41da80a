#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace qm4250 {

// A part number's tolerance: the reject set point as the upper limit, and a lower limit
// where there is one. At least one is set.
struct ToleranceLimits {
    std::optional<double> lower;
    std::optional<double> upper;
};

// Whether a lower and an upper limit leave room between them: a lower limit at or above the upper
// one passes nothing, and is refused wherever limits are given.
bool LimitsInOrder(const std::optional<double>& lower, const std::optional<double>& upper);

// Fewer tests than this say too little of a process to judge its capability.
inline constexpr size_t kCapabilityMinimumTests = 30;

// How the tests sit within the tolerance. Cp and Pp need both limits; with one, the
// one-sided index of that limit stands alone and Cpk (Ppk) is it. Within-sigma is the short-term
// spread (from the moving range), overall sigma the long-term one (the sample standard
// deviation), as capability studies use them.
struct Capability {
    size_t n = 0;
    std::optional<double> cp, pp;
    std::optional<double> cpu, cpl, ppu, ppl;
    double cpk = 0, ppk = 0;
    // 95 % confidence interval for Cpk (Bissell's normal approximation).
    std::pair<double, double> cpkInterval;
    double expectedPpm = 0;  // outside, under the normal curve of the overall sigma, per million
};

// Of the process's n values, their mean and sigmas: the same mean and sigma make both Cp and Cpk,
// so Cpk is never above Cp. None below kCapabilityMinimumTests, without a limit, with limits out of
// order, without spread, or where the mean or a sigma is not a finite number.
std::optional<Capability> CapabilityOf(size_t n, const ToleranceLimits& limits, double mean,
                                       double sigmaWithin, double sigmaOverall);

}  // namespace qm4250
