// Log-gamma and the regularised lower incomplete gamma function P(a, x).
#include <cmath>

#include "distributions/distributions.h"

namespace {

// Far more steps than any argument up to the cap needs; only stops a fraction
// whose terms have turned to NaN from running for ever.
constexpr long Fraction_step_limit = 10000000;

// The normal distribution function needs Log_gamma(1/2) on every call:
// computed once, exactly the value a fresh evaluation gives.
extended Shape_log_gamma(extended a)
{
    static const extended half = Log_gamma(0.5L);
    return a == 0.5L ? half : Log_gamma(a);
}

}  // namespace

extended Log_gamma(extended x)
{
    static constexpr extended coefficients[6] = {76.18009172947146L,     -86.50532032941677L,
                                             24.01409824083091L,     -1.231739572450155L,
                                             0.1208650973866179e-2L, -0.5395239384953e-5L};
    extended y = x - 1;
    extended t = y + 5.5L;
    t = (y + 0.5L) * std::log(t) - t;
    extended s = 1;
    for (extended c : coefficients) {
        y = y + 1;
        s = s + c / y;
    }
    return std::log(2.5066282746310005L * s) + t;
}

extended Incomplete_gamma(extended x, extended a)
{
    // The checks, in their order, are only called when one of them fails.
    if (!(x >= 0 && x <= Value_limit && a > 0 && a <= Value_limit)) {
        Check_bound(1302, x, 0);
        Raise_if(x > Value_limit, 1361);
        Check_bound(1301, a, 0);
        Raise_if(a > Value_limit, 1361);
    }
    if (x < a + 1) return Incomplete_gamma_series(x, a);
    return 1 - Incomplete_gamma_fraction(x, a);
}

extended Incomplete_gamma_series(extended x, extended a)
{
    if (Nearly_equal(0, x)) return 0;
    extended ap = a;
    extended sum = 1 / a;
    extended term = sum;
    int n = 1;
    do {
        ap = ap + 1;
        term = term * x / ap;
        sum = sum + term;
        n = n + 1;
    } while (!(std::fabs(term) < std::fabs(sum) * Tolerance) && n <= 100);
    return sum * std::exp(a * std::log(x) - x - Shape_log_gamma(a));
}

extended Incomplete_gamma_fraction(extended x, extended a)
{
    extended a0 = 1;
    extended a1 = x;
    extended b0 = 0;
    extended b1 = 1;
    extended fac = 1;
    extended g = 0;
    extended previous = 1;
    extended n = 1;
    long steps = 0;
    do {
        extended d = n - a;
        a0 = (a1 + a0 * d) * fac;
        b0 = (b1 + b0 * d) * fac;
        extended e = n * fac;
        a1 = x * a0 + e * a1;
        b1 = x * b0 + e * b1;
        if (a1 != 0) {
            previous = g;
            fac = 1 / a1;
            g = b1 * fac;
        }
        n = n + 1;
    } while (!(std::fabs((g - previous) / g) < Tolerance) && ++steps < Fraction_step_limit);
    return g * std::exp(a * std::log(x) - x - Shape_log_gamma(a));
}
