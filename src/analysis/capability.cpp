#include "analysis/capability.h"

#include <algorithm>
#include <cmath>

#include "analysis/normal_distribution.h"

namespace qm4250 {

namespace {

constexpr double kZ975 = 1.959963984540054;

}  // namespace

bool LimitsInOrder(const std::optional<double>& lower, const std::optional<double>& upper) {
    return !lower || !upper || *lower < *upper;
}

std::optional<Capability> CapabilityOf(size_t n, const ToleranceLimits& limits, double mean,
                                       double sigmaWithin, double sigmaOverall) {
    if (n < kCapabilityMinimumTests || (!limits.lower && !limits.upper) ||
        !LimitsInOrder(limits.lower, limits.upper) || !std::isfinite(mean) ||
        !(sigmaWithin > 0 && std::isfinite(sigmaWithin)) ||
        !(sigmaOverall > 0 && std::isfinite(sigmaOverall)))
        return std::nullopt;
    Capability c;
    c.n = n;
    if (limits.upper) {
        c.cpu = (*limits.upper - mean) / (3 * sigmaWithin);
        c.ppu = (*limits.upper - mean) / (3 * sigmaOverall);
    }
    if (limits.lower) {
        c.cpl = (mean - *limits.lower) / (3 * sigmaWithin);
        c.ppl = (mean - *limits.lower) / (3 * sigmaOverall);
    }
    if (limits.lower && limits.upper) {
        c.cp = (*limits.upper - *limits.lower) / (6 * sigmaWithin);
        c.pp = (*limits.upper - *limits.lower) / (6 * sigmaOverall);
    }
    c.cpk = std::min(c.cpu.value_or(INFINITY), c.cpl.value_or(INFINITY));
    c.ppk = std::min(c.ppu.value_or(INFINITY), c.ppl.value_or(INFINITY));
    double tests = static_cast<double>(n);
    double half = kZ975 * std::sqrt(1 / (9 * tests) + c.cpk * c.cpk / (2 * (tests - 1)));
    c.cpkInterval = {c.cpk - half, c.cpk + half};
    double expected = 0;
    if (limits.upper)
        expected += NormalCdf(-(*limits.upper - mean) / sigmaOverall);
    if (limits.lower)
        expected += NormalCdf(-(mean - *limits.lower) / sigmaOverall);
    c.expectedPpm = 1e6 * expected;
    return c;
}

}  // namespace qm4250
