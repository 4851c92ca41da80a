#pragma once

namespace qm4250 {

// The normal distribution, as the charts, the subgroup constants and capability use it.
double NormalDensity(double x, double mean, double sigma);
// P(Z <= z) for a standard normal Z.
double NormalCdf(double z);

}  // namespace qm4250
