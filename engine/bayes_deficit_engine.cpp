// The Monte Carlo test for a deficit in a single case, controlling for
// covariates: conditional statistics, one million posterior draws of the
// regression, their sort and the credible limits.
#include "engine/bayes_deficit_engine.h"

#include <cmath>
#include <stdexcept>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/monte_carlo_draws.h"
#include "engine/parallel_draw_sort.h"

namespace {

const char* const ExtremeScaleAdvice =
    " because the scale of at least one variable is too extreme for the computation (a very large or very "
    "small mean or standard deviation). No results were computed. Express that variable in other units "
    "(e.g. seconds instead of milliseconds when its values are very large, or milliseconds instead of "
    "seconds when its standard deviation is very small) and run the analysis again.";

[[noreturn]] void ThrowInversionFailure()
{
    throw EAnalysisError(std::string("The analysis cannot be completed: a matrix built from the control "
                                     "sample's statistics could not be inverted,") +
                         ExtremeScaleAdvice);
}

[[noreturn]] void ThrowFactorisationFailure()
{
    throw EAnalysisError(std::string("The analysis cannot be completed: the regression's inverse "
                                     "cross-product matrix could not be factorised,") +
                         ExtremeScaleAdvice);
}

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

void BayesDeficitEngine(int k, int N, int iterations, bool resetSeed, bool twoSided, int credPct,
                        const tVector& sds, const tVector& means, const tVector& caseScores, const tMatrix& corr,
                        extended& condMean, extended& condSD, tBayesResult& result,
                        tMonteCarloError* /*mcse*/, tDrawSummary* /*summary*/)
{
    // Guards against programming errors only: the worksheet never passes these.
    if (k < 0 || k + 1 > MatrixCapacity) throw std::invalid_argument("BayesDeficitEngine: covariate count out of range");
    if (iterations < 1 || iterations > DrawStoreCapacity)
        throw std::invalid_argument("BayesDeficitEngine: draw count out of range");
    if (credPct < 0 || credPct > 100) throw std::invalid_argument("BayesDeficitEngine: credible level out of range");
    int lo = 0;
    int hi = 0;
    CredibleLimitPositions(twoSided, credPct, iterations, lo, hi);
    if (lo < 1 || lo > iterations || hi < 1 || hi > iterations)
        throw std::invalid_argument("BayesDeficitEngine: too few draws for the credible level");

    ClearFloatingPointErrors();

    const tMatrix R = corr;
    const tVector s = sds;
    const tVector m = means;
    tVector x = caseScores;
    const int p = k + 1;
    tDrawSetup setup;
    setup.p = p;

    tMatrix B, residVar, XtXInv;
    // An overflow or invalid operation is the first fault wherever it occurs,
    // so the flags are checked before a breakdown is reported.
    const bool regressionComputed = RegressionFromSummary(R, s, m, 1, k, N, B, residVar, XtXInv);
    RaiseFloatingPointErrors();
    if (!regressionComputed) ThrowInversionFailure();

    setup.caseScore = x[1];
    x[1] = 1.0L;
    setup.caseDesign = x;

    tNormal_distribution normal(0.0L, 1.0L);
    if (resetSeed) {
        Seed1 = Seed1_start;
        Seed2 = Seed2_start;
    }

    tBayesResult estimates;
    tMatrix condVar;
    tVector condMeans;
    const bool momentsComputed = ConditionalMoments(p, k, R, s, m, x, condVar, condMeans);
    RaiseFloatingPointErrors();
    if (!momentsComputed) ThrowInversionFailure();
    const extended mean = condMeans[1];
    const extended sd = std::sqrt(condVar[1][1]);
    estimates.zccc = (setup.caseScore - mean) / sd;

    ExtractColumn(B, 1, setup.b);
    CopyLeadingBlock(XtXInv, p, setup.L);
    if (!CholeskyLower(p, setup.L)) ThrowFactorisationFailure();
    setup.nu = static_cast<extended>(N - k - 1);
    // A residual variance below zero (cancellation with extreme means) is an
    // invalid operation here, before any draw.
    setup.sigmaScale = std::sqrt(residVar[1][1]) * std::sqrt(setup.nu);
    RaiseFloatingPointErrors();  // nothing is drawn from infinities or NaNs

    tDrawStore draws;
    const extended sum = GenerateDraws(setup, iterations, normal, draws);
    RaiseFloatingPointErrors();

    extended P = (sum / static_cast<extended>(iterations)) * 100.0L;
    estimates.pctBelow = P;
    if (P > 50) P = 100 - P;
    estimates.pOneTailed = P / 100;
    estimates.pTwoTailed = P / 50;

    SortDrawsInParallel(1, iterations, draws);
    estimates.zcccLower = draws[lo];
    estimates.zcccUpper = draws[hi];
    estimates.pctLower = normal.Distribution_function(estimates.zcccLower) * 100;
    estimates.pctUpper = normal.Distribution_function(estimates.zcccUpper) * 100;
    RaiseFloatingPointErrors();

    condMean = mean;
    condSD = sd;
    result = estimates;
}
