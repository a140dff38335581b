#pragma once
// The Monte Carlo loop of one analysis: one chi-square and p standard normal
// variates per draw, in draw order from the shared random stream.
#include "distributions/distributions.h"
#include "matrix/matrix_handling.h"

struct tDrawSetup {
    int p = 0;                 // intercept and the k covariates
    extended sigmaScale = 0;   // sqrt(s^2) * sqrt(nu), formed before any draw
    extended nu = 0;           // residual degrees of freedom
    tMatrix L;                 // lower Cholesky factor of XtXInv, zeros above the diagonal
    tVector b;                 // intercept and slopes
    tVector caseDesign;        // (1, case's covariate scores)
    extended caseScore = 0;    // the case's task score
};

// Fills store[1..iterations] with the Z-CCC draws rounded to double and
// returns the sum of F(zeta) over the unrounded draws, added in draw order.
// `normal` is the run's standard normal object; it supplies the variates.
//
// Only the variates must come one after another from the shared stream; the
// rest of each draw (its zeta and F(zeta)) is worked out by whichever of two
// threads is free, and the sum is still formed in draw order. The stream, the
// draws and the sum are exactly those of the one-thread loop, and an error
// raised by F leaves the random source where that loop would have left it.
extended GenerateDraws(const tDrawSetup& setup, int iterations, tNormal_distribution& normal, tDrawStore& store);
