#include "analysis/subgroup_constants.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

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
    DeviationBias bias = DeviationBiasFor(static_cast<size_t>(n));
    c.c4 = bias.c4;
    double root = std::sqrt(static_cast<double>(n));
    c.a2 = 3 / (c.d2 * root);
    c.lowerRange = std::max(0.0, 1 - 3 * c.d3 / c.d2);
    c.upperRange = 1 + 3 * c.d3 / c.d2;
    double spread = 3 * bias.spread / c.c4;
    c.a3 = 3 / (c.c4 * root);
    c.lowerSigma = std::max(0.0, 1 - spread);
    c.upperSigma = 1 + spread;
    return c;
}

}  // namespace

const SubgroupConstants& ConstantsForSubgroup(int n) {
    // Some 15 ms a size: a chart computes the few sizes it shows, not all of them.
    constexpr size_t kSizes = kLargestSubgroup - kSmallestSubgroup + 1;
    static std::array<SubgroupConstants, kSizes> table;
    static std::array<std::once_flag, kSizes> computed;
    size_t index = size_t(std::clamp(n, kSmallestSubgroup, kLargestSubgroup) - kSmallestSubgroup);
    std::call_once(computed[index], [index] {
        table[index] = Compute(static_cast<int>(index) + kSmallestSubgroup);
    });
    return table[index];
}

DeviationBias DeviationBiasFor(size_t n) {
    double m = static_cast<double>(std::max<size_t>(n, 2));
    // 1 - c4, kept apart from c4 itself, whose digits it would lose. From a thousand values on, the
    // logarithms of the gamma functions (thousands each) leave too few digits in their
    // difference, and the series 1/(4n) + 7/(32n²) + 19/(128n³) holds ten digits there.
    double shortfall = m < 1000 ? 1 - std::sqrt(2 / (m - 1)) *
                                          std::exp(std::lgamma(m / 2) - std::lgamma((m - 1) / 2))
                                : 1 / (4 * m) + 7 / (32 * m * m) + 19 / (128 * m * m * m);
    double c4 = 1 - shortfall;
    return {c4, std::sqrt(shortfall * (1 + c4))};
}

}  // namespace qm4250
