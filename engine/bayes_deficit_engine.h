#pragma once
// From summary data to the regression quantities, and the Monte Carlo test
// that yields every estimate of the report.
#include <stdexcept>

#include "matrix/matrix_handling.h"
#include "engine/summary_data.h"

// The engine's eight estimates, in this order.
struct tBayesResult {
    extended pOneTailed = 0;
    extended pTwoTailed = 0;
    extended pctBelow = 0;
    extended pctLower = 0;
    extended pctUpper = 0;
    extended zccc = 0;
    extended zcccLower = 0;
    extended zcccUpper = 0;
};

// Monte Carlo standard errors of the estimates that are means over the draws:
// 100 * (sample SD of the draws' F(zeta)) / sqrt(draws) for the percentage
// below, and from it those of the one- and two-tailed probabilities. Computed
// beside the estimates; they change none of them.
struct tMonteCarloError {
    extended pctBelow = 0;
    extended pOneTailed = 0;
    extended pTwoTailed = 0;
};

struct tDrawSummary;

// Raised when the summary data cannot be analysed reliably: an inversion or
// factorisation inside the analysis broke down (in practice a variable whose
// scale is extreme). The message tells the user what happened and what to do.
class EAnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Cross-products of the design rebuilt from summary data; returns false when
// the inversion of XtX stopped early.
bool RegressionFromSummary(const tMatrix& R, const tVector& s, const tVector& m, int nY, int k, int N,
                           tMatrix& B, tMatrix& ResidVar, tMatrix& XtXInv);

// One analysis of the case (caseScores 1: task, 2..k+1: covariates) against
// the control sample: the conditional statistics, `options.draws` posterior
// draws from the shared random stream (restarted first when
// options.resetSeed is true), and the
// estimates. Raises EAnalysisError when an inversion or the factorisation
// breaks down (after the factorisation's own message), EFloatingPointError
// on an overflow, division by zero or invalid operation, and passes on the
// distributions' EArgumentError; the outputs are written only on success.
// When given, `mcse` receives the Monte Carlo standard errors and `summary`
// the bin counts of the Z-CCC draws (see draw_summary.h); neither changes a
// result by a bit.
// std::invalid_argument marks a call outside the engine's capacity
// (draws 1..1,000,000, limit positions inside the draws, k + 1 <= 20).
void BayesDeficitEngine(const SummaryData& controls, const tVector& caseScores, const RunOptions& options,
                        extended& condMean, extended& condSD, tBayesResult& result,
                        tMonteCarloError* mcse = nullptr, tDrawSummary* summary = nullptr);
