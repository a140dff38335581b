#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "distributions/distrib.h"
#include "engine_test_inputs.h"

namespace {

void ExpectRelativelyNear(extended actual, extended expected, extended tolerance = 1e-14L)
{
    EXPECT_LE(std::fabs(actual - expected), tolerance * std::fabs(expected))
        << static_cast<double>(actual) << " vs " << static_cast<double>(expected);
}

bool ZeroOutside(const tMatrix& A, int rows, int cols)
{
    for (int i = 1; i <= MatrixCapacity; ++i)
        for (int j = 1; j <= MatrixCapacity; ++j)
            if ((i > rows || j > cols) && A[i][j] != 0) return false;
    return true;
}

struct tStatistics {
    tMatrix B, residVar, XtXInv, condVar;
    tVector condMean;
};

tStatistics Compute(const tSummaryData& d)
{
    tStatistics st;
    const int p = d.k + 1;
    for (tMatrix* A : {&st.B, &st.residVar, &st.XtXInv, &st.condVar})
        for (int i = 1; i <= MatrixCapacity; ++i)
            for (int j = 1; j <= MatrixCapacity; ++j) (*A)[i][j] = 77;  // must all be cleared
    EXPECT_TRUE(RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, st.B, st.residVar, st.XtXInv));
    tVector x = d.caseScores;
    x[1] = 1.0L;
    EXPECT_TRUE(ConditionalMoments(p, d.k, d.corr, d.sds, d.means, x, st.condVar, st.condMean));
    return st;
}

TEST(ConditionalStatistics, WorkedExample)
{
    const tSummaryData d = WorkedExample();
    const tStatistics st = Compute(d);

    ExpectRelativelyNear(st.XtXInv[1][1], 2076.0L / 1520);
    ExpectRelativelyNear(st.XtXInv[1][2], -200.0L / 1520);
    ExpectRelativelyNear(st.XtXInv[2][1], -200.0L / 1520);
    ExpectRelativelyNear(st.XtXInv[2][2], 20.0L / 1520);
    tMatrix XtX;
    ASSERT_TRUE(InvertMatrix(st.XtXInv, 2, XtX));
    ExpectRelativelyNear(XtX[1][1], 20, 1e-12L);
    ExpectRelativelyNear(XtX[1][2], 200, 1e-12L);
    ExpectRelativelyNear(XtX[2][2], 2076, 1e-12L);

    ExpectRelativelyNear(st.B[1][1], 25);
    ExpectRelativelyNear(st.B[2][1], 2.5L);
    ExpectRelativelyNear(st.residVar[1][1] * 18, 1425, 1e-13L);  // RSS on nu = 18
    ExpectRelativelyNear(st.residVar[1][1], 1425.0L / 18, 1e-13L);
    ExpectRelativelyNear(st.condVar[1][1], 75);
    ExpectRelativelyNear(st.condMean[1], 45);
    EXPECT_TRUE(ZeroOutside(st.B, 2, 1));
    EXPECT_TRUE(ZeroOutside(st.residVar, 1, 1));
    EXPECT_TRUE(ZeroOutside(st.XtXInv, 2, 2));
    EXPECT_TRUE(ZeroOutside(st.condVar, 1, 1));

    // The point estimates need no random number: the same whatever the stream holds.
    Seed1 = 12345;
    Seed2 = 67890;
    const tEngineRun run = RunEngine(d, 2000, true, false);
    ExpectRelativelyNear(run.condMean, 45);
    ExpectRelativelyNear(run.condSD, std::sqrt(75.0L));
    ExpectRelativelyNear(run.result.zccc, -15 / std::sqrt(75.0L));
    const tEngineRun reset = RunEngine(d, 2000, true, true);
    EXPECT_EQ(reset.condMean, run.condMean);
    EXPECT_EQ(reset.condSD, run.condSD);
    EXPECT_EQ(reset.result.zccc, run.result.zccc);
}

TEST(ConditionalStatistics, UncorrelatedCovariatesPredictNothing)
{
    tSummaryData d = FiveCovariates();
    for (int j = 2; j <= 6; ++j) d.corr[1][j] = d.corr[j][1] = 0;
    const tStatistics st = Compute(d);
    ExpectRelativelyNear(st.B[1][1], d.means[1], 1e-12L);
    for (int j = 2; j <= 6; ++j) EXPECT_NEAR(static_cast<double>(st.B[j][1]), 0.0, 1e-12);
    ExpectRelativelyNear(st.condMean[1], d.means[1]);
    ExpectRelativelyNear(st.condVar[1][1], d.sds[1] * d.sds[1]);
}

TEST(ConditionalStatistics, CaseAtTheCovariateMeans)
{
    tSummaryData d = FiveCovariates();
    for (int j = 2; j <= 6; ++j) d.caseScores[j] = d.means[j];
    EXPECT_EQ(Compute(d).condMean[1], d.means[1]);
}

TEST(ConditionalStatistics, FiveCovariatesUseSixBySixBlocks)
{
    const tSummaryData d = FiveCovariates();
    const tStatistics st = Compute(d);
    EXPECT_TRUE(ZeroOutside(st.B, 6, 1));
    EXPECT_TRUE(ZeroOutside(st.residVar, 1, 1));
    EXPECT_TRUE(ZeroOutside(st.XtXInv, 6, 6));
    EXPECT_TRUE(ZeroOutside(st.condVar, 1, 1));
    for (int i = 1; i <= 6; ++i) EXPECT_NE(st.XtXInv[i][i], 0);

    // The conditional mean is the least-squares prediction; the conditional
    // variance is RSS on N - 1, the residual variance RSS on N - k - 1.
    extended prediction = st.B[1][1];
    for (int j = 2; j <= 6; ++j) prediction += st.B[j][1] * d.caseScores[j];
    ExpectRelativelyNear(st.condMean[1], prediction, 1e-12L);
    ExpectRelativelyNear(st.condVar[1][1] * (d.N - 1), st.residVar[1][1] * (d.N - d.k - 1), 1e-12L);
}

TEST(ConditionalStatistics, CovariateOrderDoesNotMatter)
{
    const tSummaryData d = FiveCovariates();
    // Swap covariates 1 and 3 (variables 2 and 4).
    tSummaryData swapped = d;
    const int order[7] = {0, 1, 4, 3, 2, 5, 6};
    for (int i = 1; i <= 6; ++i) {
        swapped.sds[i] = d.sds[order[i]];
        swapped.means[i] = d.means[order[i]];
        swapped.caseScores[i] = d.caseScores[order[i]];
        for (int j = 1; j <= 6; ++j) swapped.corr[i][j] = d.corr[order[i]][order[j]];
    }
    const tStatistics a = Compute(d);
    const tStatistics b = Compute(swapped);
    ExpectRelativelyNear(b.condMean[1], a.condMean[1], 1e-13L);
    ExpectRelativelyNear(b.condVar[1][1], a.condVar[1][1], 1e-12L);
    ExpectRelativelyNear(b.residVar[1][1], a.residVar[1][1], 1e-12L);
    ExpectRelativelyNear(b.B[1][1], a.B[1][1], 1e-12L);
    for (int i = 2; i <= 6; ++i) ExpectRelativelyNear(b.B[i][1], a.B[order[i]][1], 1e-11L);
}

}  // namespace
