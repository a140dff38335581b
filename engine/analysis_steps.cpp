#include "engine/analysis_steps.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "distributions/float_errors.h"

namespace {

const char* const ExtremeScaleAdvice =
    " because the scale of at least one variable is too extreme for the computation (a very large or very "
    "small mean or standard deviation). No results were computed. Express that variable in other units "
    "(e.g. seconds instead of milliseconds when its values are very large, or milliseconds instead of "
    "seconds when its standard deviation is very small) and run the analysis again.";

// Positions of the credible limits in the sorted draws; products in extended
// precision as written, rounded to nearest with ties to even.
void CredibleLimitPositions(bool twoSided, int credPct, int iterations, int& lo, int& hi)
{
    const extended c = credPct;
    const extended M = iterations;
    if (twoSided) {
        lo = static_cast<int>(std::nearbyint(((100 - credPct) / 2.0L / 100.0L) * M));
        hi = static_cast<int>(std::nearbyint(((c + (100 - credPct) / 2.0L) / 100.0L) * M)) + 1;
    } else {
        lo = static_cast<int>(std::nearbyint(((100 - credPct) / 100.0L) * M));
        hi = static_cast<int>(std::nearbyint((c / 100.0L) * M)) + 1;
    }
}

}  // namespace

void CheckEngineCall(int k, int iterations, bool twoSided, int credPct, int& lo, int& hi)
{
    if (k < 0 || k + 1 > MatrixCapacity) throw std::invalid_argument("BayesDeficitEngine: covariate count out of range");
    if (iterations < 1 || iterations > DrawStoreCapacity)
        throw std::invalid_argument("BayesDeficitEngine: draw count out of range");
    if (credPct < 0 || credPct > 100) throw std::invalid_argument("BayesDeficitEngine: credible level out of range");
    CredibleLimitPositions(twoSided, credPct, iterations, lo, hi);
    if (lo < 1 || lo > iterations || hi < 1 || hi > iterations)
        throw std::invalid_argument("BayesDeficitEngine: too few draws for the credible level");
}

void ThrowInversionFailure()
{
    throw EAnalysisError(std::string("The analysis cannot be completed: a matrix built from the control "
                                     "sample's statistics could not be inverted,") +
                         ExtremeScaleAdvice);
}

void ThrowFactorisationFailure()
{
    throw EAnalysisError(std::string("The analysis cannot be completed: the regression's inverse "
                                     "cross-product matrix could not be factorised,") +
                         ExtremeScaleAdvice);
}

void ComputeRegression(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr,
                       tRegression& regression)
{
    ClearFloatingPointErrors();
    // An overflow or invalid operation is the first fault wherever it occurs,
    // so the flags are checked before a breakdown is reported.
    const bool computed =
        RegressionFromSummary(corr, sds, means, 1, k, N, regression.B, regression.residVar, regression.XtXInv);
    RaiseFloatingPointErrors();
    if (!computed) ThrowInversionFailure();
}

void ComputeCaseMoments(int k, const tVector& sds, const tVector& means, const tMatrix& corr, const tVector& design,
                        extended caseScore, extended& mean, extended& sd, extended& zccc)
{
    tMatrix condVar;
    tVector condMeans;
    const bool computed = ConditionalMoments(k + 1, k, corr, sds, means, design, condVar, condMeans);
    RaiseFloatingPointErrors();
    if (!computed) ThrowInversionFailure();
    mean = condMeans[1];
    sd = std::sqrt(condVar[1][1]);
    zccc = (caseScore - mean) / sd;
}

void FinishControlSetup(int k, int N, const tRegression& regression, tDrawSetup& setup)
{
    const int p = k + 1;
    setup.p = p;
    ExtractColumn(regression.B, 1, setup.b);
    CopyLeadingBlock(regression.XtXInv, p, setup.L);
    if (!CholeskyLower(p, setup.L)) ThrowFactorisationFailure();
    setup.nu = static_cast<extended>(N - k - 1);
    // A residual variance below zero (cancellation with extreme means) is an
    // invalid operation here, before any draw.
    setup.sigmaScale = std::sqrt(regression.residVar[1][1]) * std::sqrt(setup.nu);
    RaiseFloatingPointErrors();  // nothing is drawn from infinities or NaNs
}

void ProbabilitiesFromSum(extended sum, int iterations, tBayesResult& estimates)
{
    extended P = (sum / static_cast<extended>(iterations)) * 100.0L;
    estimates.pctBelow = P;
    if (P > 50) P = 100 - P;
    estimates.pOneTailed = P / 100;
    estimates.pTwoTailed = P / 50;
}

tMonteCarloError MonteCarloErrorOf(const tProbabilitySums& sums, int iterations)
{
    tMonteCarloError error;
    if (iterations < 2) return error;  // no spread can be measured from one draw
    const extended n = iterations;
    extended variance = (sums.shiftedSquares - sums.shiftedSum * sums.shiftedSum / n) / (n - 1);
    if (variance < 0) variance = 0;  // rounding when every F(zeta) is alike
    error.pctBelow = 100 * std::sqrt(variance) / std::sqrt(n);
    error.pOneTailed = error.pctBelow / 100;
    error.pTwoTailed = error.pctBelow / 50;
    return error;
}
