#include "analysis/subgroup_constants.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/normal_distribution.h"

namespace qm4250 {

namespace {

// Simpson's rule over [from, to] in an even number of steps.
template <typename F>
double Integrate(F f, double from, double to, int steps) {
    double h = (to - from) / steps;
    double sum = f(from) + f(to);
    for (int i = 1; i < steps; ++i)
        sum += (i % 2 ? 4 : 2) * f(from + i * h);
    return sum * h / 3;
}

// P(range of n standard normal values <= w) = n ∫ φ(x) (Φ(x + w) - Φ(x))^(n-1) dx.
double RangeCdf(int n, double w) {
    return n * Integrate(
                   [n, w](double x) {
                       return NormalDensity(x, 0, 1) *
                              std::pow(NormalCdf(x + w) - NormalCdf(x), n - 1);
                   },
                   -9, 9, 720);
}

SubgroupConstants Compute(int n) {
    // E[W] = ∫ P(W > w) dw and E[W²] = ∫ 2w P(W > w) dw, the range beyond 12 sigma having no
    // weight left at any printed precision.
    constexpr double kWidest = 12;
    constexpr int kSteps = 480;
    std::array<double, kSteps + 1> survival{};
    for (int i = 0; i <= kSteps; ++i)
        survival[size_t(i)] = 1 - RangeCdf(n, kWidest * i / kSteps);
    auto integrate = [&](auto weight) {
        return Integrate(
            [&](double w) {
                return weight(w) * survival[size_t(std::lround(w / kWidest * kSteps))];
            },
            0, kWidest, kSteps);
    };
    SubgroupConstants c;
    c.d2 = integrate([](double) { return 1.0; });
    c.d3 = std::sqrt(integrate([](double w) { return 2 * w; }) - c.d2 * c.d2);
    c.c4 = std::sqrt(2.0 / (n - 1)) * std::exp(std::lgamma(n / 2.0) - std::lgamma((n - 1) / 2.0));
    double root = std::sqrt(static_cast<double>(n));
    c.a2 = 3 / (c.d2 * root);
    c.lowerRange = std::max(0.0, 1 - 3 * c.d3 / c.d2);
    c.upperRange = 1 + 3 * c.d3 / c.d2;
    double spread = 3 * std::sqrt(1 - c.c4 * c.c4) / c.c4;
    c.a3 = 3 / (c.c4 * root);
    c.lowerSigma = std::max(0.0, 1 - spread);
    c.upperSigma = 1 + spread;
    return c;
}

}  // namespace

const SubgroupConstants& ConstantsForSubgroup(int n) {
    static const auto table = [] {
        std::array<SubgroupConstants, kLargestSubgroup - kSmallestSubgroup + 1> constants;
        for (int size = kSmallestSubgroup; size <= kLargestSubgroup; ++size)
            constants[size_t(size - kSmallestSubgroup)] = Compute(size);
        return constants;
    }();
    return table[size_t(std::clamp(n, kSmallestSubgroup, kLargestSubgroup) - kSmallestSubgroup)];
}

}  // namespace qm4250
