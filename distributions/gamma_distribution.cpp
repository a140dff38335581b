// The gamma distribution with a shape and a rate (inverse scale): constants,
// density and distribution function. The variate methods are in
// gamma_variates.cpp.
#include <cmath>

#include "distributions/distributions.h"

tGamma_distribution::tGamma_distribution(extended shape, extended rate)
{
    Fill_parameter_records();
    Set_parameters(shape, rate, 0);
}

void tGamma_distribution::Fill_parameter_records()
{
    Parameter_count = 2;
    Parameters[1].Lower_limit = 0;
    Parameters[1].Upper_limit = Value_limit;
    Parameters[2].Lower_limit = 0;
    Parameters[2].Upper_limit = Value_limit;
}

bool tGamma_distribution::Set_parameters(extended p1, extended p2, extended p3)
{
    bool result = tDistribution::Set_parameters(p1, p2, p3);
    const extended a = p1;
    const extended b = p2;
    shape_ = a;
    rate_ = b;
    Log_normaliser = a * std::log(b) - Log_gamma(a);
    Support_lower = 0;
    Support_upper = Value_limit;
    // Shape exactly 1 needs no variate constants: the old ones stay, unused.
    if (a > 1) {
        // Extremes of y * sqrt(f(y)) for the density shifted to its mode and
        // scaled to 1 there, at y = 1 - h and y = 1 + h.
        extended h = std::sqrt(2 * a - 1);
        variate_constant1_ = (1 - h) * std::sqrt(std::exp((a - 1) * (std::log(a - h) - std::log(a - 1)) + h - 1));
        variate_constant2_ = (1 + h) * std::sqrt(std::exp((a - 1) * (std::log(a + h) - std::log(a - 1)) - h - 1));
    } else if (a < 1) {
        extended e = std::exp(1.0L);
        variate_constant1_ = (e + a) / e;
        variate_constant2_ = 1 / a;
    }
    return result;
}

bool tGamma_distribution::In_support(extended x)
{
    if (shape_ < 1) return tDistribution::In_support(x) && x > 0;
    return tDistribution::In_support(x);
}

extended tGamma_distribution::Density(extended x)
{
    if (In_support(x) && x > 0) return std::exp(std::log(x) * (shape_ - 1) + Log_normaliser - rate_ * x);
    if (Nearly_equal(shape_, 1) && x == 0) return rate_;  // exponential density at 0
    return 0;
}

extended tGamma_distribution::Distribution_function(extended x)
{
    if (x <= 0) return 0;
    if (x > Value_limit) return 1;
    if (shape_ <= 500) return Incomplete_gamma(rate_ * x, shape_);
    // Large shapes: the cube root of a gamma variable is nearly normal.
    extended t = Real_power(rate_ * x / shape_, 1.0L / 3.0L);
    extended y = t - 1 + 1 / (9 * shape_);
    extended q = Incomplete_gamma(y * y * 4.5L * shape_, 0.5L);
    if (y >= 0) return (1 + q) / 2;
    return (1 - q) / 2;
}

extended tGamma_distribution::Mean()
{
    return shape_ / rate_;
}

extended tGamma_distribution::Variance()
{
    return shape_ / (rate_ * rate_);
}
