#include "analysis/normal_distribution.h"

#include <cmath>

namespace qm4250 {

double NormalDensity(double x, double mean, double sigma) {
    constexpr double kInverseSqrtTwoPi = 0.3989422804014327;
    double z = (x - mean) / sigma;
    return kInverseSqrtTwoPi / sigma * std::exp(-0.5 * z * z);
}

double NormalCdf(double z) {
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

}  // namespace qm4250
