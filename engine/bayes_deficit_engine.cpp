// The Monte Carlo test for a deficit in a single case, controlling for
// covariates: conditional statistics, one million posterior draws of the
// regression and the credible limits.
#include "engine/bayes_deficit_engine.h"

#include <cmath>
#include <utility>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/analysis_steps.h"
#include "engine/draw_summary.h"
#include "engine/monte_carlo_draws.h"
#include "engine/credible_limits.h"

void BayesDeficitEngine(int k, int N, int iterations, bool resetSeed, bool twoSided, int credPct,
                        const tVector& sds, const tVector& means, const tVector& caseScores, const tMatrix& corr,
                        extended& condMean, extended& condSD, tBayesResult& result, tMonteCarloError* mcse,
                        tDrawSummary* summary)
{
    int lo = 0;
    int hi = 0;
    CheckEngineCall(k, iterations, twoSided, credPct, lo, hi);

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
    const tProbabilitySums sums = GenerateDraws(setup, iterations, normal, draws);
    RaiseFloatingPointErrors();

    ProbabilitiesFromSum(sums.sum, iterations, estimates);

    double lower = 0;
    double upper = 0;
    SelectCredibleLimits(draws, iterations, lo, hi, lower, upper);
    estimates.zcccLower = lower;
    estimates.zcccUpper = upper;
    estimates.pctLower = normal.Distribution_function(estimates.zcccLower) * 100;
    estimates.pctUpper = normal.Distribution_function(estimates.zcccUpper) * 100;
    RaiseFloatingPointErrors();
    // The order of the draws no longer matters: the summary counts them.
    tDrawSummary binned;
    if (summary) SummariseDraws(draws.data(), iterations, lower, upper, binned);

    condMean = mean;
    condSD = sd;
    result = estimates;
    if (mcse) *mcse = MonteCarloErrorOf(sums, iterations);
    if (summary) *summary = std::move(binned);
}
