// The gamma distribution with a shape and a rate (inverse scale): constants,
// density and distribution function. The variate methods are in
// gamma_variates.cpp.
#include <cmath>

#include "distributions/distrib.h"

namespace {

// The constants that Set_parameters derives from shape and rate. The engine
// builds a chi-square object with the same df for every Monte Carlo draw, so
// the last set is remembered; a hit gives exactly the values a fresh
// computation would. Kept per thread, like everything else here that is not
// the random stream.
struct tGamma_constants {
    bool valid = false;
    extended shape = 0;
    extended rate = 0;
    extended log_normaliser = 0;
    extended constant1 = 0;
    extended constant2 = 0;
};

thread_local tGamma_constants last_constants;

tGamma_constants Compute_constants(extended a, extended b)
{
    tGamma_constants c;
    c.valid = true;
    c.shape = a;
    c.rate = b;
    c.log_normaliser = a * std::log(b) - Log_gamma(a);
    if (a > 1) {
        // Extremes of y * sqrt(f(y)) for the density shifted to its mode and
        // scaled to 1 there, at y = 1 - h and y = 1 + h.
        extended h = std::sqrt(2 * a - 1);
        c.constant1 = (1 - h) * std::sqrt(std::exp((a - 1) * (std::log(a - h) - std::log(a - 1)) + h - 1));
        c.constant2 = (1 + h) * std::sqrt(std::exp((a - 1) * (std::log(a + h) - std::log(a - 1)) - h - 1));
    } else if (a < 1) {
        extended e = std::exp(1.0L);
        c.constant1 = (e + a) / e;
        c.constant2 = 1 / a;
    }
    return c;
}

}  // namespace

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
    shape_ = p1;
    rate_ = p2;
    if (!(last_constants.valid && last_constants.shape == shape_ && last_constants.rate == rate_))
        last_constants = Compute_constants(shape_, rate_);
    Log_normaliser = last_constants.log_normaliser;
    Support_lower = 0;
    Support_upper = Value_limit;
    // Shape 1 needs no variate constants; the old ones stay, unused.
    if (shape_ != 1) {
        variate_constant1_ = last_constants.constant1;
        variate_constant2_ = last_constants.constant2;
        strip_width_ = variate_constant2_ - variate_constant1_;
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
