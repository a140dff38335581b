// The worked example: one covariate, 20 controls, task mean 50 (SD 10),
// covariate mean 10 (SD 2), correlation 0.5; the case scores 30 on the task
// and 8 on the covariate.
#include <cstdio>
#include <exception>

#include "engine/Bayes_Engines.h"

namespace {

void PrintEstimates(const char* heading, const tBayesResult& r)
{
    std::printf("%s\n", heading);
    std::printf("  p one-tailed             %.6Lf\n", r.pOneTailed);
    std::printf("  p two-tailed             %.6Lf\n", r.pTwoTailed);
    std::printf("  %% below case             %.4Lf  (%.4Lf to %.4Lf)\n", r.pctBelow, r.pctLower, r.pctUpper);
    std::printf("  Z-CCC                    %.6Lf  (%.6Lf to %.6Lf)\n", r.zccc, r.zcccLower, r.zcccUpper);
}

}  // namespace

int main()
{
    const int k = 1;
    const int N = 20;
    tVector sds, means, caseScores;
    sds[1] = 10;
    sds[2] = 2;
    means[1] = 50;
    means[2] = 10;
    caseScores[1] = 30;
    caseScores[2] = 8;
    tMatrix corr;
    corr[1][1] = corr[2][2] = 1;
    corr[1][2] = corr[2][1] = 0.5L;

    try {
        tMatrix B, residVar, XtXInv;
        RegressionFromSummary(corr, sds, means, 1, k, N, B, residVar, XtXInv);
        std::printf("Regression of the task on the covariate\n");
        std::printf("  intercept %.6Lf, slope %.6Lf, residual variance %.6Lf (df %d)\n", B[1][1], B[2][1],
                    residVar[1][1], N - k - 1);

        extended condMean = 0;
        extended condSD = 0;
        tBayesResult twoSided, oneSided;
        BayesDeficitEngine(k, N, DrawStoreCapacity, true, true, 95, sds, means, caseScores, corr, condMean, condSD,
                           twoSided);
        std::printf("  conditional mean %.6Lf, conditional SD %.6Lf\n\n", condMean, condSD);
        PrintEstimates("Two-sided 95% credible interval", twoSided);
        BayesDeficitEngine(k, N, DrawStoreCapacity, true, false, 95, sds, means, caseScores, corr, condMean, condSD,
                           oneSided);
        PrintEstimates("One-sided 95% credible limits", oneSided);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
