// Gamma random variates: a gamma(a, 1) number by one of three methods chosen
// by the shape, divided by the rate.
#include <cmath>

#include "distributions/distributions.h"

extended tGamma_distribution::Random_variate()
{
    extended g;
    if (shape_ == 1)
        g = -std::log(Uniform_random());
    else if (shape_ > 1)
        g = Ratio_of_uniforms_variate();
    else
        g = Small_shape_variate();
    return g / rate_;
}

// Shape above 1: ratio of uniforms with the mode shifted to 0. The quick
// tests spare the logarithm in most attempts.
extended tGamma_distribution::Ratio_of_uniforms_variate()
{
    const extended a = shape_;
    const extended a1 = a - 1;
    for (;;) {
        extended u = Uniform_random();
        extended v = Uniform_random() * (variate_constant2_ - variate_constant1_) + variate_constant1_;
        extended x = v / u;
        extended y = x + a - 1;
        extended w = x * x;
        extended q = -2 * u * u + 8 * u - 6;
        bool quick_accept;
        bool quick_reject;
        if (x >= 0) {
            quick_accept = -w * (x + y) >= q * (y * y);
            quick_reject = -u * w <= (2 * u * u - 2) * y;
        } else {
            quick_accept = -w >= q * y;
            quick_reject = -u * w <= (2 * u * u - 2) * a1;
        }
        if (quick_accept) return y;
        if (quick_reject || y <= 0) continue;
        if (x + 2 * std::log(u) > a1 * std::log(1 + x / a1)) continue;
        return y;
    }
}

// Shape below 1: the GS method; both uniform numbers of an attempt are drawn
// before any test.
extended tGamma_distribution::Small_shape_variate()
{
    const extended r = variate_constant1_;          // (e + a) / e
    const extended inverse_shape = variate_constant2_;  // 1 / a
    for (;;) {
        extended u1 = Uniform_random();
        extended p = r * u1;
        extended u2 = Uniform_random();
        if (p <= 1) {
            extended x = Real_power(p, inverse_shape);
            if (std::log(u2) <= -x) return x;
        } else {
            extended x = -std::log((r - p) * inverse_shape);
            if (u2 <= Real_power(x, shape_ - 1)) return x;
        }
    }
}
