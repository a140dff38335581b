#pragma once
// The frequentist test for a deficit beside the Monte Carlo run: the exact
// values that the run's estimates approach as the draws grow. Without
// covariates it is the modified t-test; with covariates the test of the
// case's obtained against its predicted score. The control sample's part is
// worked out once, so a series evaluates many cases cheaply.
#include "matrix/matrix_handling.h"

struct tExactResult {
    extended t = 0;
    int df = 0;
    extended pOneTailed = 0;   // in the direction of the case
    extended pTwoTailed = 0;
    extended pctBelow = 0;     // 100 * T_df(t)
    extended zcccLower = 0;    // the limits of the effect size, placed as the run's
    extended zcccUpper = 0;
    extended pctLower = 0;     // 100 * Phi(limit)
    extended pctUpper = 0;
    extended predicted = 0;    // the case's predicted score (the mean when k = 0)
    extended sdPrediction = 0; // s_yx, the residual SD (the SD when k = 0)
    extended leverage = 0;     // h
};

// Inputs laid out as BayesDeficitEngine takes them (index 1: the task,
// 2..k+1: the covariates). Raises EAnalysisError when the covariates' sums
// of squares cannot be inverted or the residual variance is not positive,
// std::invalid_argument for k outside 0..MatrixCapacity - 1 or N < k + 3.
class tExactDeficitTest {
public:
    tExactDeficitTest(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr);

    // Two-sided limits at credPct percent, or the one-sided ones (lower
    // limit in zcccLower, upper in zcccUpper) at that level. Raises
    // EAnalysisError when a value cannot be computed in extended precision.
    tExactResult Evaluate(const tVector& caseScores, bool twoSided, int credPct) const;

    int Covariates() const { return k_; }

private:
    int k_;
    int N_;
    extended meanY_;
    extended sdY_;
    extended syy_;
    tVector meanX_;
    tVector sxy_;
    tMatrix sxxInverse_;
    tVector b_;
    extended sdResidual_;
};
