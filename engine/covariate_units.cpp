#include "engine/covariate_units.h"

#include <cmath>

#include "engine/bayes_deficit_engine.h"

namespace {

// The regression and the factorisation the run will do, without a message.
bool FactorisationSucceeds(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr)
{
    tMatrix B, residVar, XtXInv;
    if (!RegressionFromSummary(corr, sds, means, 1, k, N, B, residVar, XtXInv)) return false;
    return IsPositiveDefinite(k + 1, XtXInv);
}

}  // namespace

tVector InCovariateUnits(const tCovariateUnits& units, int k, const tVector& values)
{
    tVector scaled = values;
    if (!units.rescaled) return scaled;
    for (int i = 2; i <= k + 1; ++i) scaled[i] = std::ldexp(values[i], -units.exponent[i]);
    return scaled;
}

tCovariateUnits ChooseCovariateUnits(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr)
{
    tCovariateUnits given;
    if (k < 1 || k + 1 > MatrixCapacity || FactorisationSucceeds(k, N, sds, means, corr)) return given;
    tCovariateUnits units;
    units.rescaled = true;
    for (int i = 2; i <= k + 1; ++i) {
        // 2^e <= SD < 2^(e + 1); an SD of zero or not finite keeps its unit.
        const extended sd = sds[i];
        units.exponent[i] = (std::isfinite(sd) && sd > 0) ? std::ilogb(sd) : 0;
    }
    const bool succeeds = FactorisationSucceeds(k, N, InCovariateUnits(units, k, sds), InCovariateUnits(units, k, means), corr);
    // Floating-point flags of the trials are cleared by the run's own first step.
    return succeeds ? units : given;
}
