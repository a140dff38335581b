#include <gtest/gtest.h>

#include <cmath>

#include "distributions/distributions.h"
#include "tests/support/summary_data.h"

namespace {

#define EXPECT_RELATIVELY_NEAR(actual, expected, tolerance)                                      \
    EXPECT_LE(std::fabs((actual) - (expected)), (tolerance) * std::fabs(static_cast<extended>(expected))) \
        << static_cast<double>(actual) << " vs " << static_cast<double>(expected)

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

// Outputs start full of junk: everything outside their blocks must be cleared.
tStatistics Compute(const tSummaryData& d)
{
    tStatistics st;
    for (tMatrix* A : {&st.B, &st.residVar, &st.XtXInv, &st.condVar})
        for (auto& row : A->e)
            for (extended& entry : row) entry = 77;
    EXPECT_TRUE(RegressionFromSummary(d.corr, d.sds, d.means, 1, d.k, d.N, st.B, st.residVar, st.XtXInv));
    tVector x = d.caseScores;
    x[1] = 1.0L;
    EXPECT_TRUE(ConditionalMoments(d.k + 1, d.k, d.corr, d.sds, d.means, x, st.condVar, st.condMean));
    EXPECT_TRUE(ZeroOutside(st.B, d.k + 1, 1));
    EXPECT_TRUE(ZeroOutside(st.residVar, 1, 1));
    EXPECT_TRUE(ZeroOutside(st.XtXInv, d.k + 1, d.k + 1));
    EXPECT_TRUE(ZeroOutside(st.condVar, 1, 1));
    return st;
}

TEST(ConditionalStatistics, WorkedExample)
{
    const tStatistics st = Compute(WorkedExample());
    const extended XtX[3][3] = {{}, {0, 20, 200}, {0, 200, 2076}};  // determinant 1520
    tMatrix inverted;
    ASSERT_TRUE(InvertMatrix(st.XtXInv, 2, inverted));
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) {
            EXPECT_RELATIVELY_NEAR(st.XtXInv[i][j], (i == j ? XtX[3 - i][3 - j] : -XtX[i][j]) / 1520, 1e-15L);
            EXPECT_RELATIVELY_NEAR(inverted[i][j], XtX[i][j], 1e-14L);
        }
    EXPECT_RELATIVELY_NEAR(st.B[1][1], 25, 1e-15L);
    EXPECT_RELATIVELY_NEAR(st.B[2][1], 2.5L, 1e-15L);
    EXPECT_RELATIVELY_NEAR(st.residVar[1][1] * 18, 1425, 1e-14L);  // RSS, nu = 18
    EXPECT_RELATIVELY_NEAR(st.condVar[1][1], 75, 1e-15L);
    EXPECT_RELATIVELY_NEAR(st.condMean[1], 45, 1e-15L);
}

TEST(ConditionalStatistics, PointEstimatesNeedNoRandomNumber)
{
    Seed1 = 12345;
    Seed2 = 67890;
    const tEngineRun run = RunEngine(WorkedExample(), 2000, true, false);
    EXPECT_RELATIVELY_NEAR(run.condMean, 45, 1e-15L);
    EXPECT_RELATIVELY_NEAR(run.condSD, std::sqrt(75.0L), 1e-15L);
    EXPECT_RELATIVELY_NEAR(run.result.zccc, -15 / std::sqrt(75.0L), 1e-15L);
    const tEngineRun reset = RunEngine(WorkedExample(), 2000, true, true);
    EXPECT_EQ(reset.condMean, run.condMean);
    EXPECT_EQ(reset.condSD, run.condSD);
    EXPECT_EQ(reset.result.zccc, run.result.zccc);
}

TEST(ConditionalStatistics, UncorrelatedCovariatesPredictNothing)
{
    tSummaryData d = FiveCovariates();
    for (int j = 2; j <= 6; ++j) d.corr[1][j] = d.corr[j][1] = 0;
    const tStatistics st = Compute(d);
    EXPECT_RELATIVELY_NEAR(st.B[1][1], d.means[1], 1e-13L);
    for (int j = 2; j <= 6; ++j) EXPECT_NEAR(static_cast<double>(st.B[j][1]), 0.0, 1e-13);
    EXPECT_RELATIVELY_NEAR(st.condMean[1], d.means[1], 1e-15L);
    EXPECT_RELATIVELY_NEAR(st.condVar[1][1], d.sds[1] * d.sds[1], 1e-15L);
}

TEST(ConditionalStatistics, FiveCovariates)
{
    const tSummaryData d = FiveCovariates();
    const tStatistics st = Compute(d);
    // The conditional mean is the least-squares prediction; the conditional
    // variance is RSS on N - 1, the residual variance RSS on N - k - 1.
    extended prediction = st.B[1][1];
    for (int j = 2; j <= 6; ++j) prediction += st.B[j][1] * d.caseScores[j];
    EXPECT_RELATIVELY_NEAR(st.condMean[1], prediction, 1e-13L);
    EXPECT_RELATIVELY_NEAR(st.condVar[1][1] * (d.N - 1), st.residVar[1][1] * (d.N - d.k - 1), 1e-13L);

    tSummaryData atMeans = d;  // a case at the covariate means is predicted the task mean
    for (int j = 2; j <= 6; ++j) atMeans.caseScores[j] = d.means[j];
    EXPECT_EQ(Compute(atMeans).condMean[1], d.means[1]);

    // Swapping covariates 1 and 3 (variables 2 and 4) only permutes the slopes.
    tSummaryData swapped = d;
    const int order[7] = {0, 1, 4, 3, 2, 5, 6};
    for (int i = 1; i <= 6; ++i) {
        swapped.sds[i] = d.sds[order[i]];
        swapped.means[i] = d.means[order[i]];
        swapped.caseScores[i] = d.caseScores[order[i]];
        for (int j = 1; j <= 6; ++j) swapped.corr[i][j] = d.corr[order[i]][order[j]];
    }
    const tStatistics sw = Compute(swapped);
    EXPECT_RELATIVELY_NEAR(sw.condMean[1], st.condMean[1], 1e-14L);
    EXPECT_RELATIVELY_NEAR(sw.condVar[1][1], st.condVar[1][1], 1e-13L);
    EXPECT_RELATIVELY_NEAR(sw.residVar[1][1], st.residVar[1][1], 1e-13L);
    EXPECT_RELATIVELY_NEAR(sw.B[1][1], st.B[1][1], 1e-13L);
    for (int i = 2; i <= 6; ++i) EXPECT_RELATIVELY_NEAR(sw.B[i][1], st.B[order[i]][1], 1e-12L);
}

}  // namespace
