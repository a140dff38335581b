// Boost.Math in long double: its t, noncentral t and normal distributions
// keep their relative accuracy far into the tails, where the Monte Carlo
// run's own normal distribution function loses its digits.
#include "engine/exact_distributions.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>

#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/roots.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include "engine/bayes_deficit_engine.h"

namespace {

const char* const CannotCompute =
    "The frequentist test's values cannot be computed for these data in extended precision (the case's score "
    "lies too far from the control sample). The Monte Carlo results are not affected.";

}  // namespace

extended StudentLowerTail(extended t, int df)
{
    const boost::math::students_t_distribution<extended> T(df);
    return boost::math::cdf(T, t);
}

extended StudentUpperTail(extended t, int df)
{
    const boost::math::students_t_distribution<extended> T(df);
    return boost::math::cdf(boost::math::complement(T, t));
}

extended NormalLowerTail(extended z)
{
    if (std::isinf(z)) return z < 0 ? 0.0L : 1.0L;
    const boost::math::normal_distribution<extended> normal(0.0L, 1.0L);
    return boost::math::cdf(normal, z);
}

extended NoncentralityForProbability(extended c, int df, extended q)
{
    try {
        // Decreasing in delta; the probability above q is taken from the
        // complement so that neither tail loses digits to cancellation.
        const bool upper = q > 0.5L;
        auto excess = [&](extended delta) {
            const boost::math::non_central_t_distribution<extended> T(df, delta);
            return upper ? (1 - q) - boost::math::cdf(boost::math::complement(T, c))
                         : boost::math::cdf(T, c) - q;
        };
        // For many degrees of freedom T' is near normal about delta; the
        // bracket grows from there until the sign changes.
        const boost::math::normal_distribution<extended> normal(0.0L, 1.0L);
        const extended guess = c - boost::math::quantile(normal, q);
        extended step = 1 + std::fabs(c) / 4;
        extended lo = guess - step;
        extended hi = guess + step;
        extended fLo = excess(lo);
        extended fHi = excess(hi);
        for (int i = 0; i < 200 && !(fLo > 0 && fHi < 0); ++i) {
            if (fLo <= 0) {
                lo -= step;
                fLo = excess(lo);
            }
            if (fHi >= 0) {
                hi += step;
                fHi = excess(hi);
            }
            step *= 2;
        }
        if (!(fLo > 0 && fHi < 0)) throw EAnalysisError(CannotCompute);
        std::uintmax_t iterations = 200;
        const boost::math::tools::eps_tolerance<extended> tolerance(std::numeric_limits<extended>::digits - 3);
        const auto root = boost::math::tools::toms748_solve(excess, lo, hi, fLo, fHi, tolerance, iterations);
        const extended delta = root.first + (root.second - root.first) / 2;
        if (!std::isfinite(delta)) throw EAnalysisError(CannotCompute);
        return delta;
    } catch (const EAnalysisError&) {
        throw;
    } catch (const std::exception&) {
        throw EAnalysisError(CannotCompute);
    }
}
