// The normal distribution with a given mean and variance.
#include <cmath>

#include "distributions/distributions.h"

tNormal_distribution::tNormal_distribution(extended mean, extended variance)
{
    Parameter_count = 2;
    Parameters[1].Lower_limit = -Value_limit;
    Parameters[1].Upper_limit = Value_limit;
    Parameters[2].Lower_limit = 0;
    Parameters[2].Upper_limit = Value_limit;
    Set_parameters(mean, variance, 0);
}

bool tNormal_distribution::Set_parameters(extended p1, extended p2, extended p3)
{
    bool result = tDistribution::Set_parameters(p1, p2, p3);
    mean_ = p1;
    variance_ = p2;
    sd_ = std::sqrt(variance_);
    Log_normaliser = -(std::log(6.283185307179586477L) + std::log(variance_)) / 2;
    ratio_constant_ = std::sqrt(2 / std::exp(1.0L));
    return result;
}

extended tNormal_distribution::Density(extended x)
{
    if (!In_support(x)) return 0;
    extended deviation = x - mean_;
    return std::exp(Log_normaliser - deviation * deviation / (2 * variance_));
}

extended tNormal_distribution::Distribution_function(extended x)
{
    extended z = (x - mean_) / sd_;
    if (x < Support_lower || x > Support_upper) return tDistribution::Distribution_function(x);
    // P(1/2, z^2/2) is the error function of |z| / sqrt(2).
    extended q = Incomplete_gamma(z * z * 0.5L, 0.5L);
    if (z >= 0) return 0.5L + 0.5L * q;
    return 0.5L - 0.5L * q;
}

extended tNormal_distribution::Mean()
{
    return mean_;
}

extended tNormal_distribution::Variance()
{
    return variance_;
}

extended tNormal_distribution::Random_variate()
{
    // Ratio of uniforms with a quick acceptance and a quick rejection test;
    // every attempt takes exactly two uniform numbers, u first.
    for (;;) {
        extended u = Uniform_random();
        extended v = (2 * Uniform_random() - 1) * ratio_constant_;
        extended x = v / u;
        extended w = x * x;
        if (w <= 2 * u * u + (6 - 8 * u)) return x * sd_ + mean_;
        if (w >= 2 / u - 2 * u) continue;
        if (w > -4 * std::log(u)) continue;
        return x * sd_ + mean_;
    }
}
