// Quantile of a continuous distribution: bracket the point around the mean,
// then refine by Newton steps that fall back to bisection.
#include <cmath>

#include "distributions/distributions.h"

namespace {

// The refinement converges long before this; the cap only guards against a
// distribution function that misbehaves numerically.
constexpr int Refinement_step_limit = 10000;

}  // namespace

extended tContinuous_distribution::Quantile(const extended& p)
{
    Check_bound(1302, p, 0);
    if (Nearly_equal(0, p)) return Support_lower;
    Check_bound(1315, p, 1);
    if (Nearly_equal(1, p)) return Support_upper;

    extended lo = Support_lower;
    extended hi = Support_upper;
    extended mid = Has_mean() ? Mean() : (lo + hi) / 2;
    extended s = Has_variance() ? 2 * Standard_deviation() : 8;
    if (hi > mid + s) hi = mid + s;
    if (lo < mid - s) lo = mid - s;
    // Whether the bracket is still exactly [mid - s, mid + s]. Tested directly
    // rather than by comparing its width with 2s: far from zero the rounding of
    // mid + s and mid - s alone exceeds the tolerance, and the downward search
    // would be skipped, leaving the answer stuck at the bracket's lower end.
    bool first_bracket = hi == mid + s && lo == mid - s;

    // Widen upwards until F(hi) reaches p. If the support's end is reached and
    // F is still below p, the point lies at the (unbounded) end itself.
    while (Distribution_function(hi) < p) {
        if (hi >= Support_upper) return Support_upper;
        first_bracket = false;
        lo = hi;
        hi = mid + 8 * (hi - mid);
        if (hi > Support_upper) hi = Support_upper;
    }
    // Widen downwards only while the bracket is still the first one.
    if (first_bracket) {
        while (Distribution_function(lo) > p) {
            if (lo <= Support_lower) return Support_lower;
            hi = lo;
            lo = mid + 8 * (lo - mid);
            if (lo < Support_lower) lo = Support_lower;
        }
    }

    extended x = (lo + hi) / 2;
    extended x0;
    int steps = 0;
    do {
        extended d = Distribution_function(x) - p;
        extended g = Density(x);
        x0 = x;
        if (d <= 0) lo = x;
        if (d >= 0) hi = x;
        if ((hi - lo) * g > std::fabs(2 * d))
            x = x - d / g;
        else
            x = (lo + hi) / 2;
    } while (!(std::fabs(x - x0) < Tolerance) && ++steps < Refinement_step_limit);
    return x;
}
