#pragma once
// Summary data shared by the engine tests and the benchmark.
#include "engine/bayes_deficit_engine.h"

// A control sample and one case.
struct tSummaryData : SummaryData {
    tVector caseScores;
};

// The options of a run with the given draws and limits, 95% level.
inline RunOptions Options(int draws, bool twoSided, bool resetSeed = true)
{
    RunOptions options;
    options.draws = draws;
    options.twoSided = twoSided;
    options.resetSeed = resetSeed;
    return options;
}

// One covariate, 20 controls: task 50 (SD 10), covariate 10 (SD 2), r = 0.5;
// the case scores 30 and 8.
inline tSummaryData WorkedExample()
{
    tSummaryData d;
    d.k = 1;
    d.N = 20;
    d.sds[1] = 10;
    d.sds[2] = 2;
    d.means[1] = 50;
    d.means[2] = 10;
    d.caseScores[1] = 30;
    d.caseScores[2] = 8;
    d.corr[1][1] = d.corr[2][2] = 1;
    d.corr[1][2] = d.corr[2][1] = 0.5L;
    return d;
}

// Five covariates, 40 controls, a positive-definite correlation matrix.
inline tSummaryData FiveCovariates()
{
    tSummaryData d;
    d.k = 5;
    d.N = 40;
    const extended sd[] = {12, 14.5L, 3.1L, 9, 6.5L, 4};
    const extended mean[] = {60, 55.2L, 12.4L, 101, 33, 18};
    const extended score[] = {38, 71, 10, 95, 29, 15};
    const extended r[6][6] = {{1, -0.35L, 0.42L, 0.5L, 0.3L, 0.25L},   {-0.35L, 1, -0.2L, -0.1L, -0.15L, -0.05L},
                              {0.42L, -0.2L, 1, 0.55L, 0.2L, 0.1L},    {0.5L, -0.1L, 0.55L, 1, 0.35L, 0.3L},
                              {0.3L, -0.15L, 0.2L, 0.35L, 1, 0.4L},    {0.25L, -0.05L, 0.1L, 0.3L, 0.4L, 1}};
    for (int i = 1; i <= 6; ++i) {
        d.sds[i] = sd[i - 1];
        d.means[i] = mean[i - 1];
        d.caseScores[i] = score[i - 1];
        for (int j = 1; j <= 6; ++j) d.corr[i][j] = r[i - 1][j - 1];
    }
    return d;
}

struct tEngineRun {
    extended condMean = 0;
    extended condSD = 0;
    tBayesResult result;
};

inline tEngineRun RunEngine(const tSummaryData& d, int iterations, bool twoSided, bool resetSeed = true)
{
    tEngineRun run;
    BayesDeficitEngine(d, d.caseScores, Options(iterations, twoSided, resetSeed), run.condMean, run.condSD,
                       run.result);
    return run;
}

// The worked example with the task's SD so small beside its mean that the
// residual variance is exactly 0 (sigma is 0 in every draw); `prediction` is
// the case's predicted task score as each draw forms it. The caller checks
// that the residual variance is 0.
inline tSummaryData ZeroResidualVariance(extended& prediction, extended& residualVariance)
{
    tSummaryData d = WorkedExample();
    d.means[1] = 1e7L;
    d.sds[1] = 0.001L;
    tMatrix B, residVar, XtXInv;
    RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, B, residVar, XtXInv);
    residualVariance = residVar[1][1];
    prediction = B[2][1] * d.caseScores[2] + B[1][1];
    return d;
}
