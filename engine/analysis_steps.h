#pragma once
// Steps of one analysis that the single run and the case series share, so
// that the two cannot drift apart by a bit.
#include "engine/bayes_deficit_engine.h"
#include "engine/monte_carlo_draws.h"

// Guards against programming errors only (std::invalid_argument): covariate
// count, draw count, credible level and the limit positions lo and hi that
// the call implies.
void CheckEngineCall(int k, int iterations, bool twoSided, int credPct, int& lo, int& hi);

[[noreturn]] void ThrowInversionFailure();
[[noreturn]] void ThrowFactorisationFailure();

// The regression from the control sample alone.
struct tRegression {
    tMatrix B;
    tMatrix residVar;
    tMatrix XtXInv;
};

// The first steps of a run, in its order, each with its checks: the
// regression (flags cleared first), then, by ComputeCaseMoments, the case's
// conditional moments, then FinishControlSetup.
void ComputeRegression(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr,
                       tRegression& regression);

// The conditional mean and SD of the task given the case's covariates, and
// the case's Z-CCC. `design` is (1, covariate scores). The flags of Z-CCC
// itself are left for the caller's next check.
void ComputeCaseMoments(int k, const tVector& sds, const tVector& means, const tMatrix& corr, const tVector& design,
                        extended caseScore, extended& mean, extended& sd, extended& zccc);

// The case-free part of the draw setup: p, b, L, nu and sigmaScale, with the
// factorisation check, then the flags.
void FinishControlSetup(int k, int N, const tRegression& regression, tDrawSetup& setup);

// The one- and two-tailed probabilities and the percentage below from the
// sum of F(zeta) over the draws.
void ProbabilitiesFromSum(extended sum, int iterations, tBayesResult& estimates);

// The Monte Carlo standard errors from the shifted sums of the draws' F(zeta).
tMonteCarloError MonteCarloErrorOf(const tProbabilitySums& sums, int iterations);
