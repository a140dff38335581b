// The Monte Carlo test for a deficit in a single case, controlling for
// covariates: conditional statistics, one million posterior draws of the
// regression and the credible limits.
#include "engine/bayes_deficit_engine.h"

#include <cmath>
#include <utility>

#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "engine/analysis_steps.h"
#include "engine/covariate_units.h"
#include "engine/draw_summary.h"
#include "engine/monte_carlo_draws.h"
#include "engine/credible_limits.h"

void BayesDeficitEngine(int k, int N, int iterations, bool resetSeed, bool twoSided, int credPct,
                        const tVector& givenSds, const tVector& givenMeans, const tVector& givenCaseScores,
                        const tMatrix& corr, extended& condMean, extended& condSD, tBayesResult& result,
                        tMonteCarloError* mcse, tDrawSummary* summary)
{
    int lo = 0;
    int hi = 0;
    CheckEngineCall(k, iterations, twoSided, credPct, lo, hi);
    const tCovariateUnits units = ChooseCovariateUnits(k, N, givenSds, givenMeans, corr);
    const tVector sds = InCovariateUnits(units, k, givenSds);
    const tVector means = InCovariateUnits(units, k, givenMeans);
    const tVector caseScores = InCovariateUnits(units, k, givenCaseScores);

    tRegression regression;
    ComputeRegression(k, N, sds, means, corr, regression);

    tDrawSetup setup;
    setup.caseScore = caseScores[1];
    setup.caseDesign = caseScores;
    setup.caseDesign[1] = 1.0L;

    tNormal_distribution normal(0.0L, 1.0L);
    if (resetSeed) {
        Seed1 = Seed1_start;
        Seed2 = Seed2_start;
    }

    tBayesResult estimates;
    extended mean = 0;
    extended sd = 0;
    ComputeCaseMoments(k, sds, means, corr, setup.caseDesign, setup.caseScore, mean, sd, estimates.zccc);
    FinishControlSetup(k, N, regression, setup);

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
