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

// The case-free part of the draw setup: p, b, L, nu and sigmaScale, with the
// checks of a single run in its order (the regression, then the
// factorisation, then the residual scale). Flags are cleared first.
void PrepareControlSetup(int k, int N, const tVector& sds, const tVector& means, const tMatrix& corr,
                         tDrawSetup& setup);

// The one- and two-tailed probabilities and the percentage below from the
// sum of F(zeta) over the draws.
void ProbabilitiesFromSum(extended sum, int iterations, tBayesResult& estimates);

// The Monte Carlo standard errors from the shifted sums of the draws' F(zeta).
tMonteCarloError MonteCarloErrorOf(const tProbabilitySums& sums, int iterations);
