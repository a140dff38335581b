#pragma once
// The Monte Carlo test done the plain way: one thread, a chi-square object
// per draw, the matrix routines as they stand, the draws sorted by std::sort
// (a sorted array is unique). The engine must match it to the last bit.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "distributions/distributions.h"
#include "tests/support/summary_data.h"

// sortedDraws, when given, receives the sorted draws (position n at index n - 1);
// probabilities, when given, the draws' F(zeta) in draw order.
inline tEngineRun ReferenceRun(const tSummaryData& d, int iterations, bool twoSided,
                               std::vector<double>* sortedDraws = nullptr,
                               std::vector<extended>* probabilities = nullptr)
{
    const int p = d.k + 1;
    tMatrix B, residVar, XtXInv, condVar, L;
    tVector condMeans, x = d.caseScores, b, z, w, beta;
    RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, B, residVar, XtXInv);
    const extended yStar = x[1];
    x[1] = 1.0L;
    tNormal_distribution normal(0.0L, 1.0L);
    extended sum = 0;
    Seed1 = Seed1_start;
    Seed2 = Seed2_start;
    ConditionalMoments(p, d.k, d.corr, d.sds, d.means, x, condVar, condMeans);
    tEngineRun run;
    run.condMean = condMeans[1];
    run.condSD = std::sqrt(condVar[1][1]);
    run.result.zccc = (yStar - run.condMean) / run.condSD;
    ExtractColumn(B, 1, b);
    CopyLeadingBlock(XtXInv, p, L);
    CholeskyLower(p, L);
    const extended s2 = residVar[1][1];
    const extended nu = d.N - d.k - 1;
    std::vector<double> draws(iterations);
    for (int i = 1; i <= iterations; ++i) {
        auto chiSquare = std::make_unique<tChi_square_distribution>(nu);
        const extended c = chiSquare->Random_variate();
        const extended a = std::sqrt(c);
        const extended sigma = (std::sqrt(s2) * std::sqrt(nu)) / a;
        for (int j = 1; j <= p; ++j) z[j] = normal.Random_variate();
        MatrixTimesVector(L, p, z, w);
        ScaleVector(p, w, w, sigma);
        AddVectors(p, b, w, beta);
        const extended mu = DotProduct(p, beta, x);
        const extended zeta = (yStar - mu) / sigma;
        draws[i - 1] = static_cast<double>(zeta);
        const extended f = normal.Distribution_function(zeta);
        sum = sum + f;
        if (probabilities) probabilities->push_back(f);
    }
    extended P = (sum / iterations) * 100;
    run.result.pctBelow = P;
    if (P > 50) P = 100 - P;
    run.result.pOneTailed = P / 100;
    run.result.pTwoTailed = P / 50;
    const extended M = iterations;
    const int lo = static_cast<int>(std::nearbyint((twoSided ? 5 / 2.0L / 100 : 5 / 100.0L) * M));
    const int hi = static_cast<int>(std::nearbyint((twoSided ? (95 + 5 / 2.0L) / 100 : 95 / 100.0L) * M)) + 1;
    std::sort(draws.begin(), draws.end());
    run.result.zcccLower = draws[lo - 1];
    run.result.zcccUpper = draws[hi - 1];
    run.result.pctLower = normal.Distribution_function(run.result.zcccLower) * 100;
    run.result.pctUpper = normal.Distribution_function(run.result.zcccUpper) * 100;
    if (sortedDraws) sortedDraws->swap(draws);
    return run;
}
